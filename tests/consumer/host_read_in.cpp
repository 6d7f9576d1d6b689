// A host program that lets Codewerk read a code and acts on it itself. Fed by a 2D scanner's
// keys (here simulated once the dialog is up), it prints what its actions were given.
#include <codewerk/results/QRCodeEinlesen.h>

#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>

class Host : public wxApp {
public:
  int OnRun() override {
    CQRCodeActionBaseArray actions;
    actions.Add([](const CString& text, CArray<void*, void*>&) {
      std::printf("declined: %s\n", text.str().c_str());
      return false; // not ours: the next action is asked
    });
    actions.Add([](const CString& text, CArray<void*, void*>& bitmaps) {
      std::printf("taken: %s (%d bitmaps)\n", text.str().c_str(), bitmaps.GetSize());
      return true;
    });
    wxTimer scanner;
    scanner.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
      wxUIActionSimulator keys;
      // Without a window manager the keys go where the pointer is.
      for (wxWindow* window : wxTopLevelWindows)
        if (window->IsShown()) keys.MouseMove(window->GetScreenRect().GetPosition() + wxPoint(40, 40));
      keys.Text("Lieferschein 4711");
      keys.Char(WXK_RETURN);
    });
    scanner.StartOnce(1500);
    OnQRCodeEinlesen(actions); // returns when an action took a text
    return 0;
  }
};

wxIMPLEMENT_APP(Host);
