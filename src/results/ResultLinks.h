// Which lines of a decoded text are links, and where they lead.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"

// The bookshop's ISBN search; the line becomes the value of "keywords".
CODEWERK_EXPORT extern const char* const kIsbnSearchAddress;

// A line of an EAN-13/ISBN-13 result is a book number (label "ISBN … bei Amazon", the bookshop's
// search address); a line holding "http://" or "www." anywhere, in any letter case, is a web
// address (label and address the whole line). False for any other line.
CODEWERK_EXPORT bool GetLinkForLine(const CString& line, const CString& symbol, CString& label, CString& address);
