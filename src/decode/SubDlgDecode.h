// The decode page, which is also the decoder interface: a file goes in, a result handle comes out.
#pragma once

#include "CodewerkExport.h"
#include "decode/DecodeResultArray.h"
#include "shell/BaseSubDlg.h"

enum T_DecodeImageSource : int {
  T_DecodeImageSource_WebCam = 0,
  T_DecodeImageSource_Scanner = 1,
  T_DecodeImageSource_Datei = 2,
};

class CODEWERK_EXPORT CSubDlgDecode : public CDecodeEncoderBaseDialog {
public:
  CSubDlgDecode();
  ~CSubDlgDecode() override;

  // The decoder interface. A handle from DecodeImage is freed once with FreeDecodeResult on this page.
  virtual void* DecodeImage(const char* fileName, T_DecodeImageSource source) = 0;
  virtual int GetDecodeResultCount(void* handle) = 0;
  virtual int GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) = 0;
  virtual int GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) = 0;
  virtual int GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) = 0;
  virtual void FreeDecodeResult(void* handle) = 0;

  // Decodes a file into results; false when the decoder gave no handle (results unchanged).
  bool GetDecodedImageText(const CString& fileName, CDecodeResultArray& results, T_DecodeImageSource source);
  // Reads a handle into results, freeing it only when bFree is set; false for a null handle.
  bool GetDecodedImageTextFromResult(void* handle, CDecodeResultArray& results, bool bFree);
};

// The decoder the settings choose ("A"/"Dec" exactly 1: ZXing, anything else: ZBar), on the heap,
// without a window; the caller deletes it.
CODEWERK_EXPORT CSubDlgDecode* CreateCurrentDecoder();
