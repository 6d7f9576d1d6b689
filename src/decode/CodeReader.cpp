#include "decode/CodeReader.h"

#include "outside/ReadingModule.h"

namespace {

thread_local std::string t_moduleError; // the module itself could not be loaded

const ReadingModule* Module() {
  const ReadingModule* module = GetReadingModule(&t_moduleError);
  if (module) t_moduleError.clear();
  return module;
}

} // namespace

CodeReader::CodeReader(T_QRCodeKonfiguration_Decoder backEnd, bool onlyQR) : m_eBackEnd(backEnd), m_bOnlyQR(onlyQR) {}

CodeReader CodeReader::FromSettings() {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  const T_QRCodeKonfiguration_Decoder backEnd = settings.m_eDecoder;
  return CodeReader(backEnd == Decoder_ZXing || backEnd == Decoder_ZXingZBar ? backEnd : Decoder_ZBar,
                    settings.m_bNurQRCodes != 0);
}

void* CodeReader::DecodeImage(const char* fileName, T_DecodeImageSource source) {
  const ReadingModule* m = Module();
  if (!m) return nullptr;
  if (m_eBackEnd == Decoder_ZBar) return m->ZBar_DecodeImage(fileName, m_bOnlyQR);
  // A webcam frame shows one code at a time; a scan or a file may hold several.
  void* handle = source == T_DecodeImageSource_WebCam ? m->ZXING_DecodeImageSingleResult(fileName, m_bOnlyQR)
                                                      : m->ZXING_DecodeImageMultipleResults(fileName, m_bOnlyQR);
  // The module's handles are alike for both back ends, so the ZXing calls below serve ZBar's too.
  if (!handle && m_eBackEnd == Decoder_ZXingZBar && LastReadError().empty())
    handle = m->ZBar_DecodeImage(fileName, m_bOnlyQR);
  return handle;
}

// Handles exist only where the module was loaded, so the calls on them find it.
int CodeReader::GetDecodeResultCount(void* handle) {
  const ReadingModule* m = Module();
  if (!m || !handle) return 0;
  return m_eBackEnd == Decoder_ZBar ? m->ZBar_GetDecodeResultCount(handle) : m->ZXING_GetDecodeResultCount(handle);
}

int CodeReader::GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) {
  const ReadingModule* m = Module();
  if (!m || !handle) return 0;
  return m_eBackEnd == Decoder_ZBar ? m->ZBar_GetDecodeResultName(handle, index, buffer, bufferSize)
                                    : m->ZXING_GetDecodeResultName(handle, index, buffer, bufferSize);
}

int CodeReader::GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) {
  const ReadingModule* m = Module();
  if (!m || !handle) return 0;
  return m_eBackEnd == Decoder_ZBar ? m->ZBar_GetDecodeResultSymbol(handle, index, buffer, bufferSize)
                                    : m->ZXING_GetDecodeResultSymbol(handle, index, buffer, bufferSize);
}

int CodeReader::GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) {
  const ReadingModule* m = Module();
  if (!m || !handle) return 0;
  return m_eBackEnd == Decoder_ZBar ? m->ZBar_GetDecodeResultPointArray(handle, index, points, maxPoints)
                                    : m->ZXING_GetDecodeResultPointArray(handle, index, points, maxPoints);
}

void CodeReader::FreeDecodeResult(void* handle) {
  const ReadingModule* m = Module();
  if (!m || !handle) return;
  if (m_eBackEnd == Decoder_ZBar) m->ZBar_FreeDecodeResult(handle);
  else m->ZXING_FreeDecodeResult(handle);
}

bool CodeReader::Read(const char* fileName, CDecodeResultArray& results, T_DecodeImageSource source) {
  void* handle = DecodeImage(fileName, source);
  if (!handle) return false;
  results.AddDecodeResult(*this, handle);
  FreeDecodeResult(handle);
  return true;
}

std::string CodeReader::LastReadError() {
  if (!t_moduleError.empty()) return t_moduleError;
  const ReadingModule* m = GetReadingModule();
  return m ? m->LastReadError() : std::string();
}
