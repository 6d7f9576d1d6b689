// The table of the reading module's functions, which the core looks up once it has loaded it.
#include "outside/ImageFile.h"
#include "outside/ReadingModule.h"
#include "outside/tq_zbar.h"
#include "outside/tq_zxing.h"

extern "C" {
void* OpenScanPict(const char* path);
int GetScanPictPages(void* scan, int* pagesInFile);
HGLOBAL GetScanPictPageDib(void* scan, int page);
void CloseScanPict(void* scan);
}

namespace {

const char* LastReadError() { return LastImageFileError().c_str(); }

} // namespace

extern "C" __attribute__((visibility("default"))) const ReadingModule* CodewerkReadingModule() {
  static const ReadingModule module{ZXING_DecodeImageSingleResult, ZXING_DecodeImageMultipleResults,
                                    ZXING_GetDecodeResultCount, ZXING_GetDecodeResultName,
                                    ZXING_GetDecodeResultSymbol, ZXING_GetDecodeResultPointArray,
                                    ZXING_FreeDecodeResult, ZBar_DecodeImage, ZBar_GetDecodeResultCount,
                                    ZBar_GetDecodeResultName, ZBar_GetDecodeResultSymbol,
                                    ZBar_GetDecodeResultPointArray, ZBar_FreeDecodeResult, OpenScanPict,
                                    GetScanPictPages, GetScanPictPageDib, CloseScanPict, LastReadError};
  return &module;
}
