// "codewerk read" and the host read-in where no window can be shown.
#include "results/QRCodeEinlesen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Exit status and standard error of the program run through sh with this environment prefix.
std::pair<int, std::string> RunRead(const std::string& environment, const std::string& args) {
  const std::string err = (std::filesystem::temp_directory_path() / ("codewerk-read-" + std::to_string(getpid()))).string();
  const int status = std::system((environment + " " + CODEWERK_APP + " read " + args + " 2> " + err + " < /dev/null").c_str());
  std::stringstream text;
  text << std::ifstream(err).rdbuf();
  std::filesystem::remove(err);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, text.str()};
}

} // namespace

TEST(ReadCommandTest, RefusalsSayWhyAndEndWithTwo) {
  const struct {
    const char* environment;
    const char* args;
    const char* said;
  } cases[] = {
      {"", "--source Fax", "unknown source 'Fax'"},
      {"", "--json Datei", "unexpected 'Datei'"},
      {"", "--source", "--source"},
      {"env -u DISPLAY -u WAYLAND_DISPLAY", "--source Datei", "no display"},
  };
  for (const auto& c : cases) {
    const auto [status, said] = RunRead(c.environment, c.args);
    EXPECT_EQ(status, 2) << c.args;
    EXPECT_NE(said.find(c.said), std::string::npos) << said;
  }
}

TEST(ReadCommandTest, TheReadInWithoutAWxApplicationSaysSoInOneLineAndCallsNoAction) {
  CQRCodeActionBaseArray actions;
  int called = 0;
  actions.Add([&](const CString&, CArray<void*, void*>&) { return ++called, true; });
  testing::internal::CaptureStderr();
  OnQRCodeEinlesen(actions);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_EQ(called, 0);
  EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
  EXPECT_NE(said.find("wxWidgets application"), std::string::npos);
}
