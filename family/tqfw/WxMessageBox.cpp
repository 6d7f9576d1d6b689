// The real message box for programs with a user interface.
#include "outside/MessageBox.h"
#include "outside/WxText.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

namespace {

int ShowWxMessageBox(const CString& text, UINT type) {
  long style = wxCENTRE;
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: style |= wxOK | wxCANCEL; break;
    case MB_YESNO: style |= wxYES_NO; break;
    case MB_YESNOCANCEL: style |= wxYES_NO | wxCANCEL; break;
    default: style |= wxOK;
  }
  switch (type & 0xF0) {
    case MB_ICONERROR: style |= wxICON_ERROR; break;
    case MB_ICONQUESTION: style |= wxICON_QUESTION; break;
    case MB_ICONWARNING: style |= wxICON_WARNING; break;
    case MB_ICONINFORMATION: style |= wxICON_INFORMATION; break;
  }
  wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
  wxMessageDialog dialog(parent, ToWx(text), wxTheApp ? wxTheApp->GetAppDisplayName() : wxString("Codewerk"), style);
  switch (dialog.ShowModal()) {
    case wxID_YES: return IDYES;
    case wxID_NO: return IDNO;
    case wxID_CANCEL: return IDCANCEL;
    default: return IDOK;
  }
}

} // namespace

// Used once a window has been made from a template: from then on the program has a GUI.
void InstallWxMessageBox() { SetDefaultMessageBoxHandler(ShowWxMessageBox); }
