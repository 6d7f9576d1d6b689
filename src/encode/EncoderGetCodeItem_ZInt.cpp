#include "encode/EncoderGetCodeItem_ZInt.h"

#include "outside/CodePage.h"
#include "outside/TextServices.h"
#include "outside/tq_zint.h"

namespace {

constexpr int kInputUtf8 = 1;
constexpr int kSymbologyQRCode = 58;
constexpr int kAutomaticVersion = 0;

} // namespace

CString CEncoderGetCodeItem_ZInt::GetNameBibliothek() { return "ZInt"; }

void* CEncoderGetCodeItem_ZInt::GetCodeItem(const CString& text) {
  // Texts arrive as UTF-8 already (GetEncodedBitmap converts them). Converting valid UTF-8 once
  // more from the ANSI code page would garble every non-ASCII character wherever that code page
  // is not UTF-8, so only a text that is not UTF-8 (a host calling us with ANSI bytes) is
  // converted, and its unconverted bytes remain the fallback.
  if (IsValidUTF8(text, static_cast<size_t>(text.GetLength())))
    return ZInt_GetCode(text, kInputUtf8, kSymbologyQRCode, m_nLevel, kAutomaticVersion);
  if (void* code = ZInt_GetCode(GetAsUTF8String(text), kInputUtf8, kSymbologyQRCode, m_nLevel, kAutomaticVersion)) return code;
  return ZInt_GetCode(text, kInputUtf8, kSymbologyQRCode, m_nLevel, kAutomaticVersion);
}

int CEncoderGetCodeItem_ZInt::GetCodeWidth(void* code) { return ZInt_GetCodeWidth(code); }

int CEncoderGetCodeItem_ZInt::GetCodeHeight(void* code) { return ZInt_GetCodeHeight(code); }

bool CEncoderGetCodeItem_ZInt::IsCodeBitSet(void* code, int row, int column) { return ZInt_IsCodeBitSet(code, row, column) != 0; }

void CEncoderGetCodeItem_ZInt::DoneCode(void* code) { ZInt_DoneCode(code); }
