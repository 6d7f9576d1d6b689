// The program against files made to hurt it, as a user's shell would run it: every one is answered
// with an exit status, never a signal or a hang, and nothing stays in the temporary folder; the
// program ended from outside takes its temporary files along.
#include "HostilePictures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The program with TMPDIR at temp, its output thrown away.
pid_t Start(const std::vector<std::string>& args, const fs::path& temp) {
  std::vector<std::string> env = {"TMPDIR=" + temp.string()};
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("TMPDIR=", 0) != 0) env.emplace_back(*e);
  std::vector<char*> argv, envp;
  std::string program = CODEWERK_APP;
  argv.push_back(program.data());
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = -1;
  posix_spawn(&pid, program.c_str(), &files, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&files);
  return pid;
}

// The wait status, or -1 after a minute (the child is killed then).
int Finish(pid_t pid) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  int status = 0;
  while (waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > end) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return status;
}

bool IsEmpty(const fs::path& folder) { return fs::is_empty(folder); }

class HostileFilesTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_temp); }
  void TearDown() override { fs::remove_all(m_dir); }

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
    ASSERT_TRUE(IsEmpty(m_temp)) << "after " << corpus[i];
  }
}

TEST_F(HostileFilesTest, EndedFromOutsideTheProgramTakesItsFilesAlongAndAKilledOnesAreSweptByTheNext) {
  const std::vector<std::uint8_t> scan = BlankMultiPageTiff(200, 1500);
  const fs::path file = m_dir / "scan.tif";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(scan.data()), static_cast<long>(scan.size()));
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
      EXPECT_FALSE(IsEmpty(m_temp));
      const std::vector<std::uint8_t> pages = BlankMultiPageTiff(2, 50);
      const fs::path small = m_dir / "two.tif";
      std::ofstream(small, std::ios::binary).write(reinterpret_cast<const char*>(pages.data()), static_cast<long>(pages.size()));
      Finish(Start({"decode", small.string()}, m_temp)); // making its own folder, the next run sweeps
    }
    EXPECT_TRUE(IsEmpty(m_temp)) << signal;
  }
}

// A temporary folder on a file system of 20 MB (a mount namespace of our own, where the system
// allows one): the first page fits, the rest are reported, and what was split is read.
TEST_F(HostileFilesTest, AFullDiskIsToldAndThePagesSplitSoFarAreRead) {
  if (std::system("unshare -r -m true 2>/dev/null") != 0) GTEST_SKIP() << "no mount namespaces here";
  const std::vector<std::uint8_t> scan = BlankMultiPageTiff(6, 1500);
  const fs::path file = m_dir / "scan.tif", out = m_dir / "out.txt";
  std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(scan.data()), static_cast<long>(scan.size()));
  const std::string command = "unshare -r -m sh -c 'mount -t tmpfs -o size=20m tmpfs " + m_temp.string() + " && TMPDIR=" +
                              m_temp.string() + " " + CODEWERK_APP + " decode " + file.string() + "' > " + out.string() + " 2>&1";
  const int status = std::system(command.c_str());
  std::stringstream text;
  text << std::ifstream(out).rdbuf();
  EXPECT_EQ(WEXITSTATUS(status), 2) << text.str();
  EXPECT_NE(text.str().find("no code found in " + file.string() + " (page 1)"), std::string::npos) << text.str();
  EXPECT_NE(text.str().find("no space left in the temporary folder for its pages; only the first 1 pages were read"),
            std::string::npos) << text.str();
}
