#include "outside/HostActions.h"

CQRCodeActionBase::~CQRCodeActionBase() = default;

CQRCodeAction::CQRCodeAction(Function function) : m_function(std::move(function)) {}

bool CQRCodeAction::BehandleQRCode(const CString& text, CArray<void*, void*>& bitmaps) {
  return m_function && m_function(text, bitmaps);
}

void CQRCodeActionBaseArray::Add(std::unique_ptr<CQRCodeActionBase> action) {
  if (action) m_actions.push_back(std::move(action));
}

void CQRCodeActionBaseArray::Add(CQRCodeAction::Function function) {
  Add(std::make_unique<CQRCodeAction>(std::move(function)));
}

bool CQRCodeActionBaseArray::BehandleGelesenenQRCode(const CString& text, CArray<void*, void*>& bitmaps) {
  for (const auto& action : m_actions)
    if (action->BehandleQRCode(text, bitmaps)) return true;
  return false;
}
