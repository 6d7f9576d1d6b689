// Shared by the two start-up probes: show a dialog, and exit as soon as it is on screen.
#pragma once

#include <wx/app.h>
#include <wx/dialog.h>
#include <wx/init.h>

#include <cstdio>
#include <functional>

inline int ShowAndExit(int argc, char** argv, const std::function<wxDialog*()>& makeDialog) {
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 2;
  wxDialog* dialog = makeDialog();
  dialog->Show();
  // On screen: mapped, and the loop has handled what showing it queued (sizes, first paints).
  while (!dialog->IsShownOnScreen() || wxTheApp->Pending()) wxTheApp->Dispatch();
  wxTheApp->Yield();
  std::_Exit(0); // the time to tear down is not part of the start
}
