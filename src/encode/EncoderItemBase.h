// The one interface through which a text becomes a code symbol, whatever back end makes it.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"

class CODEWERK_EXPORT CEncoderItemBase {
public:
  CEncoderItemBase() = default;
  CEncoderItemBase(const CEncoderItemBase&) {}
  CEncoderItemBase& operator=(const CEncoderItemBase&) { return *this; }

  // "<n> mm\n<library>-Bibliothek": the text of the sample code of a printed size.
  virtual CString GetTestText(int nMillimeter);
  virtual CString GetNameBibliothek() = 0;
  // A new code handle, or null when the back end cannot encode the text (UTF-8).
  virtual void* GetCodeItem(const CString& text) = 0;
  virtual int GetCodeWidth(void* code) = 0;
  virtual int GetCodeHeight(void* code) = 0;
  virtual bool IsCodeBitSet(void* code, int row, int column) = 0;
  // Releases a handle from GetCodeItem; called exactly once per handle.
  virtual void DoneCode(void* code) = 0;
  // The error correction it makes codes with: 'L', 'M', 'Q' or 'H'.
  virtual char GetFehlerkorrektur() const { return 'L'; }

protected:
  // Items live by value inside their pages and are never deleted through this interface.
  ~CEncoderItemBase() = default;
};
