#include "decode/SubDlgDecode_ZBar.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/tq_zbar.h"

void* CSubDlgDecode_ZBar::DecodeImage(const char* fileName, T_DecodeImageSource) {
  return ZBar_DecodeImage(fileName, GetQRCodeKonfiguration().m_bNurQRCodes != 0);
}

int CSubDlgDecode_ZBar::GetDecodeResultCount(void* handle) { return ZBar_GetDecodeResultCount(handle); }

int CSubDlgDecode_ZBar::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  return ZBar_GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZBar::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  return ZBar_GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZBar::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  return ZBar_GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CSubDlgDecode_ZBar::FreeDecodeResult(void* handle) { ZBar_FreeDecodeResult(handle); }
