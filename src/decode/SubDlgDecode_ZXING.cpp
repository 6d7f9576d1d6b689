#include "decode/SubDlgDecode_ZXING.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/tq_zxing.h"

void* CSubDlgDecode_ZXING::DecodeImage(const char* fileName, T_DecodeImageSource source) {
  const bool onlyQR = GetQRCodeKonfiguration().m_bNurQRCodes != 0;
  if (source == T_DecodeImageSource_WebCam) return ZXING_DecodeImageSingleResult(fileName, onlyQR);
  return ZXING_DecodeImageMultipleResults(fileName, onlyQR);
}

int CSubDlgDecode_ZXING::GetDecodeResultCount(void* handle) { return ZXING_GetDecodeResultCount(handle); }

int CSubDlgDecode_ZXING::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  return ZXING_GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZXING::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  return ZXING_GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CSubDlgDecode_ZXING::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  return ZXING_GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CSubDlgDecode_ZXING::FreeDecodeResult(void* handle) { ZXING_FreeDecodeResult(handle); }
