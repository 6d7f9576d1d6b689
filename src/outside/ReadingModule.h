// The reading module: the picture readers and the two decoder back ends, in a library of their
// own that the core loads on the first read, so that a program that only creates codes never
// loads libtiff, libpng, zxing-cpp or ZBar. A handle of either back end may be given to the other's
// calls: both hold the same kind of result. Its functions are those of tq_zxing.h, tq_zbar.h and
// ImageFile.h, with scan pictures behind plain handles. The ...GetDecodeResultName/Symbol functions
// return the length of the whole text (without the terminator) even when the buffer was smaller
// and got only what fits, cut at a character boundary.
#pragma once

#include "WinTypes.h"

#include <string>

struct ReadingModule {
  void* (*ZXING_DecodeImageSingleResult)(const char* fileName, bool onlyQR);
  void* (*ZXING_DecodeImageMultipleResults)(const char* fileName, bool onlyQR);
  int (*ZXING_GetDecodeResultCount)(void* handle);
  int (*ZXING_GetDecodeResultName)(void* handle, int index, char* buffer, int size);
  int (*ZXING_GetDecodeResultSymbol)(void* handle, int index, char* buffer, int size);
  int (*ZXING_GetDecodeResultPointArray)(void* handle, int index, POINT* points, int max);
  void (*ZXING_FreeDecodeResult)(void* handle);
  void* (*ZBar_DecodeImage)(const char* fileName, bool onlyQR);
  int (*ZBar_GetDecodeResultCount)(void* handle);
  int (*ZBar_GetDecodeResultName)(void* handle, int index, char* buffer, int size);
  int (*ZBar_GetDecodeResultSymbol)(void* handle, int index, char* buffer, int size);
  int (*ZBar_GetDecodeResultPointArray)(void* handle, int index, POINT* points, int max);
  void (*ZBar_FreeDecodeResult)(void* handle);
  // A multi-page scan picture read whole (null when it cannot be); its pages counted (at most the
  // page limit; pagesInFile one more when the file has more), each made a new bitmap; closed.
  void* (*OpenScanPict)(const char* path);
  int (*GetScanPictPages)(void* scan, int* pagesInFile);
  HGLOBAL (*GetScanPictPageDib)(void* scan, int page);
  void (*CloseScanPict)(void* scan);
  // Why the last picture read on this thread failed; empty after a success.
  const char* (*LastReadError)();
};

// The module's entry.
extern "C" const ReadingModule* CodewerkReadingModule();

// The module, loaded on the first call from beside the core library; null, with the reason in
// error, when it cannot be loaded.
const ReadingModule* GetReadingModule(std::string* error = nullptr);
