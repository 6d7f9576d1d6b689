// What reading a picture file with a decoder back end looks like to its callers: a file goes in,
// a result handle comes out, and the handle is read and freed by the same decoder.
#pragma once

#include "CodewerkExport.h"
#include "outside/WinTypes.h"

enum T_DecodeImageSource : int {
  T_DecodeImageSource_WebCam = 0,
  T_DecodeImageSource_Scanner = 1,
  T_DecodeImageSource_Datei = 2,
  T_DecodeImageSource_Bildschirm = 3,
  T_DecodeImageSource_Zwischenablage = 4,
};

class CODEWERK_EXPORT DecoderInterface {
public:
  virtual ~DecoderInterface() = default;
  // Null when nothing was found or the file could not be read (LastImageFileError tells which).
  virtual void* DecodeImage(const char* fileName, T_DecodeImageSource source) = 0;
  virtual int GetDecodeResultCount(void* handle) = 0;
  // Each writes at most bufferSize bytes with the terminator, cut at a character boundary, and
  // returns the length of the whole text without the terminator, also when the buffer was too
  // small: then a caller asks again with a buffer of that length + 1.
  virtual int GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) = 0;
  virtual int GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) = 0;
  virtual int GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) = 0;
  virtual void FreeDecodeResult(void* handle) = 0;
  // Whether DecodeImage may run on several threads at once.
  virtual bool CanDecodeConcurrently() const { return false; }
};
