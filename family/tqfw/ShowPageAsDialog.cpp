#include "outside/ShowPageAsDialog.h"

#include "outside/PageCtrl.h"
#include "outside/WxText.h"

#include <wx/frame.h>
#include <wx/sizer.h>

namespace {

// Where pages without a window of their own wait, hidden, for their owner to delete them: a
// dialog that goes deletes its children, and the page is not the dialog's to delete. The holder
// never keeps a host's application from ending: closing it (as wx does with every window when
// the last one closes) agrees and leaves the pages alone.
class PageHolder : public wxFrame {
public:
  PageHolder() : wxFrame(nullptr, wxID_ANY, "codewerk pages") {
    Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent&) {});
  }
  ~PageHolder() override { s_holder = nullptr; }
  bool ShouldPreventAppExit() const override { return false; }

  static wxWindow* Get() { return s_holder ? s_holder : (s_holder = new PageHolder()); }

private:
  static inline PageHolder* s_holder = nullptr;
};

} // namespace

CShowPageAsDialog::CShowPageAsDialog(int, CPageCtrl& page, const CString& caption, const char* templateName,
                                     wxWindow* parent)
    : CDialogEx(nullptr, parent), m_pPage(&page), m_strCaption(caption), m_pszPageTemplate(templateName),
      m_pPageParent(page.HasWindow() ? page.GetParent() : nullptr) {}

CShowPageAsDialog::~CShowPageAsDialog() {
  if (!m_pPage->HasWindow() || m_pPage->GetParent() != this) return;
  m_pPage->Hide();
  GetSizer()->Detach(m_pPage);
  m_pPage->Reparent(m_pPageParent ? m_pPageParent : PageHolder::Get());
}

INT_PTR CShowPageAsDialog::DoModal() {
  if (!GetHandle()) {
    if (!Create(m_pParentWnd, wxID_ANY, ToWx(m_strCaption), wxDefaultPosition, wxDefaultSize,
                wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER))
      return IDCANCEL;
    if (m_pPage->HasWindow()) m_pPage->Reparent(this);
    else if (!m_pPage->Create(m_pszPageTemplate, this)) return IDCANCEL;
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_pPage, 1, wxEXPAND);
    SetSizerAndFit(sizer);
    CentreOnScreen();
    // No Cancel button to stand for: Escape closes like the title bar's button (the page may refuse).
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
      if (event.GetKeyCode() == WXK_ESCAPE) Close();
      else event.Skip();
    });
  }
  m_pPage->Show();
  m_pPage->SetPageShown(true); // a page builds what it shows when it is first shown
  const int result = ShowModal();
  m_pPage->SetPageShown(false);
  return result == wxID_OK ? IDOK : result == wxID_CANCEL ? IDCANCEL : result;
}
