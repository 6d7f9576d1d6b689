// The private temporary folder: names no link can hijack and no two callers share, a folder that
// goes with its process, and folders of killed processes swept away.
#include "TestFolder.h"
#include "outside/TempFiles.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sys/wait.h>
#include <thread>

namespace {

class TempFilesTest : public InFolder<> {
protected:

  // A child process with TMPDIR at our folder makes a file and ends as end says; the folder it made.
  fs::path InChild(void (*end)()) {
    const fs::path report = m_dir / "made";
    std::fflush(nullptr); // or the child prints the parent's buffered lines again
    const pid_t child = fork();
    if (child == 0) {
      setenv("TMPDIR", m_dir.c_str(), 1);
      char folder[MAX_PATH], name[MAX_PATH];
      if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQWebCam", 0, name, ".bmp")) _exit(3);
      std::ofstream(report) << folder; // closed before end() runs
      end();
    }
    waitpid(child, nullptr, 0);
    std::string folder;
    std::ifstream(report) >> folder;
    return fs::remove(report), fs::path(folder).parent_path();
  }
  std::set<std::string> Left() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_dir)) names.insert(entry.path().filename());
    return names;
  }
};

} // namespace

// The folder is private and named for the process; it goes when the process ends normally, a
// killed process leaves it, and the next process that makes its own sweeps it, keeping those of
// live processes and folders not ours.
TEST_F(TempFilesTest, PrivateFoldersGoWithTheirProcessAndNamesAreNeverShared) {
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  EXPECT_EQ(fs::symlink_status(folder).permissions(), fs::perms::owner_all);
  EXPECT_NE(std::string(folder).find("/codewerk-" + std::to_string(getpid()) + "-"), std::string::npos) << folder;

  const fs::path killed = InChild([] { raise(SIGKILL); });
  ASSERT_TRUE(fs::exists(killed) && killed.parent_path() == m_dir) << killed;
  const std::string alive = "codewerk-" + std::to_string(getpid()) + "-Abc123";
  fs::create_directories(m_dir / alive), fs::create_directories(m_dir / "codewerk-not-ours");
  EXPECT_FALSE(fs::exists(InChild([] { std::exit(0); }))) << "the folder and its file go with the process";
  EXPECT_EQ(Left(), (std::set<std::string>{alive, "codewerk-not-ours"}));

  // Names are made exclusively: a link planted at every name changes nothing, and a thousand names
  // from four threads never collide.
  const fs::path target = m_dir / "victim.txt";
  std::ofstream(target) << "keep me";
  char name[MAX_PATH];
  for (unsigned n = 1; n <= 0xFFFF; ++n) std::snprintf(name, sizeof name, "TQD%X.bmp", n), fs::create_symlink(target, m_dir / name);
  EXPECT_EQ(GetTempFileNameA(m_dir.c_str(), "TQDropPict", 0, name, ".bmp"), 0u);
  fs::remove(m_dir / "TQDBEEF.bmp");
  EXPECT_EQ(GetTempFileNameA(m_dir.c_str(), "TQDropPict", 0, name, ".bmp"), 0xBEEFu);
  EXPECT_TRUE(fs::path(name) == m_dir / "TQDBEEF.bmp" && fs::is_regular_file(fs::symlink_status(name))) << name;
  EXPECT_EQ(fs::file_size(target), 7u);
  fs::remove_all(m_dir), fs::create_directories(m_dir);
  std::set<std::string> names[4], all;
  std::thread threads[4];
  for (int t = 0; t < 4; ++t)
    threads[t] = std::thread([&, t] {
      char name[MAX_PATH];
      for (int i = 0; i < 250; ++i)
        if (GetTempFileNameA(m_dir.c_str(), "TQScanner", 0, name, ".bmp")) names[t].insert(name);
    });
  for (int t = 0; t < 4; ++t) threads[t].join(), all.insert(names[t].begin(), names[t].end());
  EXPECT_EQ(std::pair(all.size(), Left().size()), std::pair(std::size_t{1000}, std::size_t{1000}));
}
