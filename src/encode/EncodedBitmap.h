// A text's code as a 24-bit bitmap in a movable global memory block.
#pragma once

#include "CodewerkExport.h"
#include "encode/CalcAusdehnung.h"
#include "encode/EncoderItemBase.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

// Colours are 0x00BBGGRR. Returns the unlocked block, which the caller frees with GlobalFree, or
// null when the encoder makes no code or the bitmap would not fit in memory or in 32 bits.
CODEWERK_EXPORT void* GetEncodedBitmap(const CString& text, CEncoderItemBase& encoder,
                                       CSubDlgEncodeBaseCalcAusdehnungBase& calc, DWORD colourDark,
                                       DWORD colourLight);
