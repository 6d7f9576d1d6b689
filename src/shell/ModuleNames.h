// Names the whole module shares.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

// Where the last source tab of the decode page is remembered.
extern const CString g_strSettingsGroup;          // "QRCode"
extern const CString g_strSettingsLastDecodePage; // "LastDecodePage"

// The registered message "TQ ATCIVATE Decode", posted by the decode page when its tabs are built.
CODEWERK_EXPORT UINT GetActivateDecodeMessage();
