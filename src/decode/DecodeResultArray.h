// The results of one read, owned by the list.
#pragma once

#include "CodewerkExport.h"
#include "decode/DTemplateArray.h"
#include "decode/SubDlgDecodeResult.h"

class DecoderInterface;

class CODEWERK_EXPORT CDecodeResultArray : public CDTemplateArray<CSubDlgDecodeResult> {
public:
  explicit CDecodeResultArray(int bOwnsItems = 1) : CDTemplateArray(bOwnsItems) {}
  // An owning list of deep copies.
  CDecodeResultArray(const CDecodeResultArray& other);
  // Deep copies after Clear(0); whether the list owns its items stays as it was.
  CDecodeResultArray& operator=(const CDecodeResultArray& other);

  void AddDecodeResult(const CString& text, const CString& symbol, CArray<POINT, POINT>& points);
  // Appends every result behind a decoder's result handle; the handle stays the caller's to free.
  void AddDecodeResult(DecoderInterface& decoder, void* handle);
  // The texts, one per line, each after "symbol: " when bMitSymbol is set.
  CString GetMessageText(bool bMitSymbol) const;
  // Shows the results in the "Ergebnis" dialog, modally.
  void ShowTasksPane() const;
};
