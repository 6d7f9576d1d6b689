// The square that shows the encode page's code, scaled to whole pixels per module.
#pragma once

#include "CodewerkExport.h"
#include "outside/WinTypes.h"

#include <wx/window.h>

class CSubDlgEncodeBase;
class wxDC;

class CODEWERK_EXPORT CCodeDrawButton : public wxWindow {
public:
  explicit CCodeDrawButton(CSubDlgEncodeBase* pSubDlg);

  bool Create(wxWindow* parent);
  // Paints the page's code into rect: white ground, the code centred and crisp with a quiet zone.
  void DrawItem(wxDC& dc, const CRect& rect);
  // Where the code itself was last drawn (empty when there was none).
  const CRect& GetCodeRect() const { return m_codeRect; }

  CSubDlgEncodeBase* m_pSubDlg;

private:
  CRect m_codeRect;
};
