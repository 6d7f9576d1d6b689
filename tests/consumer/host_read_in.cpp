// A host program that lets Codewerk read a code and acts on it itself. Fed by a 2D scanner's
// keys (here simulated once the dialog is up), it prints what its actions were given, then closes
// its own window, which must end the program.
#include <codewerk/results/QRCodeEinlesen.h>

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/toplevel.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <cstdio>

class Host : public wxApp {
public:
  bool OnInit() override {
    auto* frame = new wxFrame(nullptr, wxID_ANY, "Host");
    frame->Show();
    CallAfter([this, frame] {
      ReadIn();
      frame->Close();
    });
    return true;
  }

  void ReadIn() {
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
        if (auto* dialog = dynamic_cast<wxDialog*>(window); dialog && dialog->IsModal())
          keys.MouseMove(dialog->GetScreenRect().GetPosition() + wxPoint(40, 40));
      keys.Text("Lieferschein 4711");
      keys.Char(WXK_RETURN);
    });
    scanner.StartOnce(1500);
    OnQRCodeEinlesen(actions); // returns when an action took a text
  }
};

wxIMPLEMENT_APP(Host);
