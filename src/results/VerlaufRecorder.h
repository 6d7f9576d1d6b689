// Reads in the windows go into the history when "H"/"Aktiv" says so; a host's read-in
// (OnQRCodeEinlesen) only when the host switches it on. The command line records nothing.
#pragma once

#include "CodewerkExport.h"
#include "decode/DTemplateArray.h"
#include "decode/DecodeResultArray.h"
#include "results/Verlauf.h"

class CDecodeGrafikResult;

CODEWERK_EXPORT void SetQRCodeVerlaufAktiv(bool on);
CODEWERK_EXPORT bool IsQRCodeVerlaufAktivForHosts();

// The process's history, opened on first use; a notice about a damaged file is shown once.
CODEWERK_EXPORT CVerlauf& ProcessVerlauf();

// One entry per code: from the pictures (with their file and, for several, their page) where
// there are any, else from the results.
CODEWERK_EXPORT void RecordReads(const CString& source, const CDecodeResultArray& results,
                                 const CDTemplateArray<CDecodeGrafikResult>& images, bool hostReadIn);
