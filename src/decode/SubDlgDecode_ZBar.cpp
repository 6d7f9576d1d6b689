#include "decode/SubDlgDecode_ZBar.h"

CodeReader CSubDlgDecode_ZBar::Reader() { return CodeReader(Decoder_ZBar, GetQRCodeKonfiguration().m_bNurQRCodes != 0); }

void* CSubDlgDecode_ZBar::DecodeImage(const char* fileName, T_DecodeImageSource source) {
  return Reader().DecodeImage(fileName, source);
}

int CSubDlgDecode_ZBar::GetDecodeResultCount(void* handle) { return Reader().GetDecodeResultCount(handle); }

int CSubDlgDecode_ZBar::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  return Reader().GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZBar::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  return Reader().GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZBar::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  return Reader().GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CSubDlgDecode_ZBar::FreeDecodeResult(void* handle) { Reader().FreeDecodeResult(handle); }
