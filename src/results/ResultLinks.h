// Which lines of a decoded text are links, and where they lead.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"

// The bookshop's ISBN search; the book number becomes the value of "keywords".
CODEWERK_EXPORT extern const char* const kIsbnSearchAddress;

// Whether the line is a book number: an EAN-13/ISBN-13 result of 13 digits from 978 or 979.
CODEWERK_EXPORT bool IsBookNumber(const CString& line, const CString& symbol);

// A book number is a link to the bookshop (label "ISBN … bei Amazon"). In any other line, the
// first word that starts with "https://", "http://", "www.", "mailto:" or "tel:" (in any letter
// case, not inside another word) is an address up to the next blank, without the punctuation
// that closes a sentence or a bracket around it; label is the line, address what the opener is
// given (see DesktopActions.h). False when the line offers no address.
CODEWERK_EXPORT bool GetLinkForLine(const CString& line, const CString& symbol, CString& label, CString& address);
