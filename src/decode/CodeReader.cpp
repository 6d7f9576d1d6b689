#include "decode/CodeReader.h"

#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

CodeReader::CodeReader(T_QRCodeKonfiguration_Decoder backEnd, bool onlyQR) : m_eBackEnd(backEnd), m_bOnlyQR(onlyQR) {}

CodeReader CodeReader::FromSettings() {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  return CodeReader(settings.m_eDecoder == Decoder_ZXing ? Decoder_ZXing : Decoder_ZBar, settings.m_bNurQRCodes != 0);
}

void* CodeReader::DecodeImage(const char* fileName, T_DecodeImageSource source) {
  if (m_eBackEnd == Decoder_ZBar) return ZBar_DecodeImage(fileName, m_bOnlyQR);
  // A webcam frame shows one code at a time; a scan or a file may hold several.
  if (source == T_DecodeImageSource_WebCam) return ZXING_DecodeImageSingleResult(fileName, m_bOnlyQR);
  return ZXING_DecodeImageMultipleResults(fileName, m_bOnlyQR);
}

int CodeReader::GetDecodeResultCount(void* handle) {
  return m_eBackEnd == Decoder_ZBar ? ZBar_GetDecodeResultCount(handle) : ZXING_GetDecodeResultCount(handle);
}

int CodeReader::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  return m_eBackEnd == Decoder_ZBar ? ZBar_GetDecodeResultName(handle, index, buffer, bufferSize)
                                    : ZXING_GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CodeReader::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  return m_eBackEnd == Decoder_ZBar ? ZBar_GetDecodeResultSymbol(handle, index, buffer, bufferSize)
                                    : ZXING_GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CodeReader::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  return m_eBackEnd == Decoder_ZBar ? ZBar_GetDecodeResultPointArray(handle, index, points, maxPoints)
                                    : ZXING_GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CodeReader::FreeDecodeResult(void* handle) {
  if (m_eBackEnd == Decoder_ZBar) ZBar_FreeDecodeResult(handle);
  else ZXING_FreeDecodeResult(handle);
}

bool CodeReader::Read(const char* fileName, CDecodeResultArray& results, T_DecodeImageSource source) {
  void* handle = DecodeImage(fileName, source);
  if (!handle) return false;
  results.AddDecodeResult(*this, handle);
  FreeDecodeResult(handle);
  return true;
}
