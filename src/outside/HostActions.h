// What a host program does with a text read for it: its own actions, asked in order; the first
// that takes the text ends the read.
#pragma once

#include "CArray.h"
#include "CString.h"
#include "CodewerkExport.h"

#include <functional>
#include <memory>
#include <vector>

class CODEWERK_EXPORT CQRCodeActionBase {
public:
  virtual ~CQRCodeActionBase();
  // True when the action took the text. bitmaps: the read's pictures (HGLOBAL bitmaps), borrowed.
  virtual bool BehandleQRCode(const CString& text, CArray<void*, void*>& bitmaps) = 0;
};

// An action from a function, for hosts that need no class of their own.
class CODEWERK_EXPORT CQRCodeAction : public CQRCodeActionBase {
public:
  using Function = std::function<bool(const CString& text, CArray<void*, void*>& bitmaps)>;
  explicit CQRCodeAction(Function function);
  bool BehandleQRCode(const CString& text, CArray<void*, void*>& bitmaps) override;

private:
  Function m_function;
};

// Owns its actions.
class CODEWERK_EXPORT CQRCodeActionBaseArray {
public:
  void Add(std::unique_ptr<CQRCodeActionBase> action);
  void Add(CQRCodeAction::Function function);
  int GetSize() const { return static_cast<int>(m_actions.size()); }
  // Offers the text to each action in order; true at the first that takes it.
  bool BehandleGelesenenQRCode(const CString& text, CArray<void*, void*>& bitmaps);

private:
  std::vector<std::unique_ptr<CQRCodeActionBase>> m_actions;
};
