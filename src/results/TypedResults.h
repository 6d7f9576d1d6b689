// What "Ergebnis" makes of the kinds of text phones act on: a WLAN's network and its password to
// copy (never a joining), a place on a map, an event for the calendar, a MeCard's entries, an SMS.
#pragma once

#include "CodewerkExport.h"
#include "results/ResultClassification.h"

#include <optional>
#include <vector>

// The groups for a typed text; nothing for any other text.
CODEWERK_EXPORT std::optional<std::vector<ResultGroup>> ClassifyTypedText(const CString& text, const CString& symbol);

// The map web address for a place.
CODEWERK_EXPORT CString MapAddressFor(double latitude, double longitude);
