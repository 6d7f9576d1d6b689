// The UI tests' program: a real wxWidgets application on the X display (Xvfb under make test).
#include "TestConfigFolder.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/log.h>

#include <cstdio>
#include <cstdlib>

// Under the leak checker: caches the desktop's font and message-bus libraries keep for the life
// of the process are no finding; none of our allocations passes through them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  if (!UseTemporaryConfigFolder()) return 2;
  setenv("NO_AT_BRIDGE", "1", 1); // no accessibility bus in tests
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS(); // listing needs no display
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) {
    std::fprintf(stderr, "no X display: run the UI tests under xvfb-run\n");
    return 2;
  }
  // A log message or a failed check must not open a modal box that no one closes.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
    ADD_FAILURE() << "wx assertion at " << file << ":" << line << ": " << cond << " " << msg;
  });
  wxInitAllImageHandlers();
  const int rc = RUN_ALL_TESTS();
  wxEntryCleanup();
  return rc;
}
