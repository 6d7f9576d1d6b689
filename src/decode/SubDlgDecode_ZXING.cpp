#include "decode/SubDlgDecode_ZXING.h"

// "ZXing + ZBar" reads through this page as well.
CodeReader CSubDlgDecode_ZXING::Reader() {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  return CodeReader(settings.m_eDecoder == Decoder_ZXingZBar ? Decoder_ZXingZBar : Decoder_ZXing,
                    settings.m_bNurQRCodes != 0);
}

void* CSubDlgDecode_ZXING::DecodeImage(const char* fileName, T_DecodeImageSource source) {
  return Reader().DecodeImage(fileName, source);
}

int CSubDlgDecode_ZXING::GetDecodeResultCount(void* handle) { return Reader().GetDecodeResultCount(handle); }

int CSubDlgDecode_ZXING::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  return Reader().GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZXING::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  return Reader().GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZXING::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  return Reader().GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CSubDlgDecode_ZXING::FreeDecodeResult(void* handle) { Reader().FreeDecodeResult(handle); }
