// The program as a user's shell runs it: files made to hurt it are each answered with an exit
// status, never a signal or a hang, and nothing stays in the temporary folder; the program ended
// from outside takes its temporary files along; "decode -" answers each name as it comes; and
// "codewerk read" refuses with a reason.
#include "HostilePictures.h"
#include "TestPictures.h"
#include "results/QRCodeEinlesen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The program with TMPDIR at temp; standard input and output from the given descriptors, else
// nothing in and the output thrown away.
pid_t Start(const std::vector<std::string>& args, const fs::path& temp, int in = -1, int out = -1) {
  std::vector<std::string> argv = {"/usr/bin/env", "TMPDIR=" + temp.string(), CODEWERK_APP}; // env hands on its process
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> argp;
  for (std::string& a : argv) argp.push_back(a.data());
  argp.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  if (in < 0) posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  else posix_spawn_file_actions_adddup2(&files, in, 0);
  if (out < 0) posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  else posix_spawn_file_actions_adddup2(&files, out, 1);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, argp[0], &files, nullptr, argp.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  return pid;
}

// The wait status, or -1 after a minute (the child is killed then).
int Finish(pid_t pid) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) return kill(pid, SIGKILL), waitpid(pid, &status, 0), -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status;
}

class HostileFilesTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_temp); }
  void TearDown() override { fs::remove_all(m_dir); }
  fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(m_dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return m_dir / name;
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-hostile-" + std::to_string(getpid()));
  fs::path m_temp = m_dir / "temp";
};

} // namespace

TEST_F(HostileFilesTest, EveryFileIsAnsweredWithAStatusAndLeavesNothingBehind) {
  const std::vector<fs::path> corpus = WriteHostileCorpus(m_dir / "corpus");
  ASSERT_GE(corpus.size(), 35u);
  // Two at a time: each has a temporary folder of its own below the shared one.
  for (std::size_t i = 0; i < corpus.size(); i += 2) {
    std::vector<std::pair<fs::path, pid_t>> running;
    for (std::size_t j = i; j < std::min(i + 2, corpus.size()); ++j)
      running.emplace_back(corpus[j], Start({"decode", corpus[j].string()}, m_temp));
    for (const auto& [path, pid] : running) {
      const int status = Finish(pid);
      ASSERT_NE(status, -1) << path << " hangs";
      ASSERT_TRUE(WIFEXITED(status)) << path << " ended by signal " << WTERMSIG(status);
      EXPECT_TRUE(WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 2) << path << ": " << WEXITSTATUS(status);
    }
    ASSERT_TRUE(fs::is_empty(m_temp)) << "after " << corpus[i];
  }
}

TEST_F(HostileFilesTest, EndedFromOutsideTheProgramTakesItsFilesAlongAndAKilledOnesAreSweptByTheNext) {
  const fs::path file = Write("scan.tif", BlankMultiPageTiff(200, 1500));
  for (int signal : {SIGTERM, SIGINT, SIGKILL}) {
    const pid_t pid = Start({"decode", file.string()}, m_temp);
    // Split pages appear in the program's own folder below the shared one.
    while (std::none_of(fs::recursive_directory_iterator(m_temp), fs::recursive_directory_iterator(),
                        [](const fs::directory_entry& e) { return e.is_regular_file(); }))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    kill(pid, signal);
    const int status = Finish(pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << signal;
    EXPECT_EQ(WTERMSIG(status), signal);
    if (signal == SIGKILL) {
      EXPECT_FALSE(fs::is_empty(m_temp));
      Finish(Start({"decode", Write("two.tif", BlankMultiPageTiff(2, 50)).string()}, m_temp)); // making its own folder, the next run sweeps
    }
    EXPECT_TRUE(fs::is_empty(m_temp)) << signal;
  }
}

// A temporary folder on a file system of 20 MB (a mount namespace of our own, where the system
// allows one): the first page fits, the rest are reported, and what was split is read.
TEST_F(HostileFilesTest, AFullDiskIsToldAndThePagesSplitSoFarAreRead) {
  if (std::system("unshare -r -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespaces here";
  const fs::path file = Write("scan.tif", BlankMultiPageTiff(6, 1500)), out = m_dir / "out.txt";
  const std::string temp = m_temp.string();
  const int status = std::system(("unshare -r -m sh -c 'mount -t tmpfs -o size=20m tmpfs " + temp + " && TMPDIR=" + temp + " " +
                                  CODEWERK_APP + " decode " + file.string() + "' > " + out.string() + " 2>&1").c_str());
  std::stringstream text;
  text << std::ifstream(out).rdbuf();
  EXPECT_EQ(WEXITSTATUS(status), 2) << text.str();
  EXPECT_NE(text.str().find("no code found in " + file.string() + " (page 1)"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("no space left in the temporary folder for its pages; only the first 1 pages were read"), std::string::npos)
      << text.str();
}

// "codewerk decode -" as a pipeline stage: the first file's line comes out before the next name has even been written.
TEST_F(HostileFilesTest, TheFirstResultComesBeforeTheNextNameIsGiven) {
  const std::string first = (m_dir / "eins.png").string(), second = (m_dir / "zwei.png").string();
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode("eins", 4), 8), first) && SavePng(WithQuietZone(RenderCode("zwei", 4), 8), second));
  int in[2], out[2];
  ASSERT_TRUE(pipe2(in, O_CLOEXEC) == 0 && pipe2(out, O_CLOEXEC) == 0);
  const pid_t pid = Start({"decode", "-"}, m_temp, in[0], out[1]);
  close(in[0]), close(out[1]);
  const auto nextLine = [&] { // what came before a line's end, the program's end or a minute
    std::string line;
    char c;
    pollfd ready{out[0], POLLIN, 0};
    while (poll(&ready, 1, 60000) == 1 && read(out[0], &c, 1) == 1 && c != '\n') line += c;
    return line;
  };
  for (const std::string& name : {first, second}) {
    ASSERT_EQ(write(in[1], (name + "\n").c_str(), name.size() + 1), static_cast<ssize_t>(name.size() + 1));
    if (name == second) close(in[1]);
    EXPECT_EQ(nextLine(), name + ": QRCode: " + fs::path(name).stem().string());
  }
  const int status = Finish(pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(out[0]);
}

TEST(ReadCommandTest, RefusalsSayWhyAndEndWithTwoAndTheReadInWithoutAnApplicationSaysSo) {
  const std::string err = (fs::temp_directory_path() / ("codewerk-read-" + std::to_string(getpid()))).string();
  for (const auto& [environment, args, said] : {std::tuple{"", "--source Fax", "unknown source 'Fax'"}, {"", "--source", "--source"},
                                                {"", "--json Datei", "unexpected 'Datei'"},
                                                {"env -u DISPLAY -u WAYLAND_DISPLAY", "--source Datei", "no display"}}) {
    const int status = std::system((std::string(environment) + " " + CODEWERK_APP + " read " + args + " 2>" + err + " </dev/null").c_str());
    std::stringstream text;
    text << std::ifstream(err).rdbuf();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << args;
    EXPECT_NE(text.str().find(said), std::string::npos) << text.str();
  }
  fs::remove(err);
  // The read-in without a wxWidgets application says so in one line and calls no action.
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
