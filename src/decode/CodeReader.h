// Reading the codes in picture files with a chosen back end, without any window: the decode pages
// read through it, and so do the command line and hosts that never show a dialog.
#pragma once

#include "CodewerkExport.h"
#include "config/QRCodeKonfiguration.h"
#include "decode/DecodeResultArray.h"
#include "decode/DecoderInterface.h"

#include <string>

class CODEWERK_EXPORT CodeReader : public DecoderInterface {
public:
  CodeReader(T_QRCodeKonfiguration_Decoder backEnd, bool onlyQR);
  // The back end and the formats the settings choose ("A"/"Dec" 1: ZXing, 2: ZXing + ZBar, else ZBar).
  static CodeReader FromSettings();

  void* DecodeImage(const char* fileName, T_DecodeImageSource source) override;
  int GetDecodeResultCount(void* handle) override;
  int GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) override;
  int GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) override;
  int GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) override;
  void FreeDecodeResult(void* handle) override;
  bool CanDecodeConcurrently() const override { return true; } // each call has its own state

  // Every code in the file, appended to results; false when there was none.
  bool Read(const char* fileName, CDecodeResultArray& results, T_DecodeImageSource source = T_DecodeImageSource_Datei);
  T_QRCodeKonfiguration_Decoder GetBackEnd() const { return m_eBackEnd; }
  // Why the last file this thread read gave no handle because it could not be read (empty when it
  // was read and held no code).
  static std::string LastReadError();

private:
  T_QRCodeKonfiguration_Decoder m_eBackEnd;
  bool m_bOnlyQR;
};
