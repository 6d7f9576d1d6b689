// The program as a user's shell runs it: files made to hurt it are each answered with an exit
// status, never a signal or a hang, and nothing stays in the temporary folder; the program ended
// from outside takes its temporary files along; "decode -" answers each name as it comes; and
// "codewerk read" refuses with a reason.
#include "HostilePictures.h"
#include "TestFolder.h"
#include "TestPictures.h"
#include "results/QRCodeEinlesen.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// A shell command's exit status and all it wrote, as "status: output".
std::string Shell(const std::string& command) {
  std::FILE* pipe = popen(("{ " + command + "; } 2>&1 </dev/null").c_str(), "r");
  std::string out(1 << 16, '\0');
  out.resize(std::fread(out.data(), 1, out.size(), pipe));
  const int status = pclose(pipe);
  return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + ": " + out;
}

class HostileFilesTest : public InFolder<> {
protected:
  void SetUp() override { fs::create_directories(m_temp); }

  fs::path m_temp = m_dir / "temp";
  std::string m_decode = "TMPDIR=" + m_temp.string() + " " CODEWERK_APP " decode ";
};

} // namespace

// Two at a time, each in a temporary folder of its own; a line for each that ends other than with
// 1 or 2, or leaves files behind.
TEST_F(HostileFilesTest, EveryFileIsAnsweredWithAStatusAndLeavesNothingBehind) {
  const std::size_t files = WriteHostileCorpus(m_dir / "corpus").size();
  ASSERT_GE(files, 35u);
  EXPECT_EQ(Shell("ls -d " + m_dir.string() + "/corpus/* | xargs -P2 -n1 sh -c 't=" + m_temp.string() + "/${0##*/}; mkdir $t && TMPDIR=$t "
                "timeout 60 " CODEWERK_APP " decode $0 >/dev/null 2>&1; s=$?; [ $s = 1 -o $s = 2 ] && [ -z \"$(ls -A $t)\" ] || "
                "echo $0: $s $(ls -A $t)'"),
            "0: ");
  EXPECT_EQ(static_cast<std::size_t>(std::distance(fs::directory_iterator(m_temp), {})), files);
}

TEST_F(HostileFilesTest, EndedFromOutsideTheProgramTakesItsFilesAlongAndAKilledOnesAreSweptByTheNext) {
  const std::string command = "exec env " + m_decode + Write("scan.tif", BlankMultiPageTiff(200, 1500)) + " >/dev/null 2>&1";
  const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
  for (int signal : {SIGTERM, SIGINT, SIGKILL}) {
    pid_t pid = -1;
    ASSERT_EQ(posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ), 0);
    int status = 0; // split pages appear in the program's own folder below the shared one
    while (waitpid(pid, &status, WNOHANG) == 0 &&
           std::none_of(fs::recursive_directory_iterator(m_temp), {}, [](const fs::directory_entry& e) { return e.is_regular_file(); }))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(pid, signal), waitpid(pid, &status, 0);
    EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : -1, signal);
    if (signal == SIGKILL) { // making its own folder, the next run sweeps the killed one's
      EXPECT_FALSE(fs::is_empty(m_temp));
      Shell(m_decode + Write("two.tif", BlankMultiPageTiff(2, 50)));
    }
    EXPECT_TRUE(fs::is_empty(m_temp)) << signal;
  }
}

// A temporary folder on a file system of 20 MB (a mount namespace of our own, where the system
// allows one): the first page fits, the rest are reported, and what was split is read.
TEST_F(HostileFilesTest, AFullDiskIsToldAndThePagesSplitSoFarAreRead) {
  if (std::system("unshare -r -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespaces here";
  const std::string scan = Write("scan.tif", BlankMultiPageTiff(6, 1500));
  EXPECT_EQ(Shell("unshare -r -m sh -c 'mount -t tmpfs -o size=20m tmpfs " + m_temp.string() + " && " + m_decode + scan + "'"),
            "2: codewerk decode: no code found in " + scan + " (page 1)\ncodewerk decode: " + scan +
                ": no space left in the temporary folder for its pages; only the first 1 pages were read\n");
}

// "codewerk decode -" as a pipeline stage: the first file's line comes out before the next name has even been written.
TEST_F(HostileFilesTest, TheFirstResultComesBeforeTheNextNameIsGiven) {
  for (const std::string name : {"eins", "zwei"}) Picture(name + ".png", WithQuietZone(RenderCode(name, 4), 8));
  EXPECT_EQ(Shell("cd " + m_dir.string() + " && { echo eins.png; timeout 60 sh -c 'until [ -s out ]; do sleep 0.01; done' || echo late; "
                "echo zwei.png; } | " + m_decode + "- >out && cat out"),
            "0: eins.png: QRCode: eins\nzwei.png: QRCode: zwei\n");
}

TEST(ReadCommandTest, RefusalsSayWhyAndEndWithTwoAndTheReadInWithoutAnApplicationSaysSo) {
  for (const auto& [args, said] : {std::pair<std::string, std::string>{"--source Fax", "codewerk read: unknown source 'Fax'\nusage:"},
                                   {"--source", "codewerk read: --source needs a value\nusage:"},
                                   {"--json Datei", "codewerk read: unexpected 'Datei'\nusage:"},
                                   {"--source Datei", "codewerk: there is no display to show the dialog on"}})
    EXPECT_EQ(Shell("env -u DISPLAY -u WAYLAND_DISPLAY " CODEWERK_APP " read " + args).substr(0, said.size() + 3), "2: " + said);
  // The read-in without a wxWidgets application says so in one line and calls no action.
  CQRCodeActionBaseArray actions;
  actions.Add([](const CString&, CArray<void*, void*>&) { ADD_FAILURE() << "an action was called"; return true; });
  testing::internal::CaptureStderr();
  OnQRCodeEinlesen(actions);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "OnQRCodeEinlesen: no wxWidgets application runs; the host must start one first.\n");
}
