// The decode page reading with zxing-cpp: one code per webcam frame, every code otherwise.
#pragma once

#include "decode/CodeReader.h"
#include "decode/SubDlgDecode.h"

class CODEWERK_EXPORT CSubDlgDecode_ZXING : public CSubDlgDecode {
public:
  void* DecodeImage(const char* fileName, T_DecodeImageSource source) override;
  int GetDecodeResultCount(void* handle) override;
  int GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) override;
  int GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) override;
  int GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) override;
  void FreeDecodeResult(void* handle) override;
  bool CanDecodeConcurrently() const override { return true; } // each call has its own state

private:
  // The formats are the settings' at the time of the call.
  static CodeReader Reader();
};
