// QR codes made by the zint back end.
#pragma once

#include "encode/EncoderItemBase.h"

class CODEWERK_EXPORT CEncoderGetCodeItem_ZInt : public CEncoderItemBase {
public:
  CString GetNameBibliothek() override;
  void* GetCodeItem(const CString& text) override;
  int GetCodeWidth(void* code) override;
  int GetCodeHeight(void* code) override;
  bool IsCodeBitSet(void* code, int row, int column) override;
  void DoneCode(void* code) override;
  char GetFehlerkorrektur() const override { return "LMQH"[(m_nLevel + 3) % 4]; }

  int m_nLevel = 1; // error correction L in zint's numbering
};
