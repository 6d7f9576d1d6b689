// The private temporary folder: names no link can hijack and no two callers share, a folder that
// goes with its process, and folders of killed processes swept away.
#include "outside/TempFiles.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class TempFilesTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }

  // Runs body in a child process with TMPDIR at our folder, ended as end says; returns the folder
  // the child made.
  fs::path InChild(void (*end)()) {
    const fs::path report = m_dir / "made";
    std::fflush(nullptr); // or the child prints the parent's buffered lines again
    const pid_t child = fork();
    if (child == 0) {
      setenv("TMPDIR", m_dir.c_str(), 1);
      char folder[MAX_PATH], name[MAX_PATH];
      if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQWebCam", 0, name, ".bmp")) _exit(3);
      std::ofstream(report) << folder;
      end();
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::string folder;
    std::ifstream(report) >> folder;
    fs::remove(report);
    return fs::path(folder).parent_path();
  }
  int FoldersLeft() const { return static_cast<int>(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator())); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-tempfiles-" + std::to_string(getpid()));
};

} // namespace

TEST_F(TempFilesTest, TheFolderIsPrivateNamedForTheProcessAndGoesWhenItEndsNormally) {
  char folder[MAX_PATH];
  ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
  struct stat st;
  ASSERT_EQ(lstat(folder, &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_NE(std::string(folder).find("/codewerk-" + std::to_string(getpid()) + "-"), std::string::npos) << folder;

  const fs::path made = InChild([] { std::exit(0); });
  EXPECT_EQ(made.parent_path(), m_dir);
  EXPECT_FALSE(fs::exists(made)) << "the folder and its file go with the process";
}

TEST_F(TempFilesTest, FoldersOfKilledProcessesAreSweptThoseOfLiveOnesKept) {
  const fs::path killed = InChild([] { raise(SIGKILL); });
  ASSERT_TRUE(fs::exists(killed));
  const fs::path alive = m_dir / ("codewerk-" + std::to_string(getpid()) + "-Abc123");
  const fs::path stranger = m_dir / "codewerk-not-ours";
  fs::create_directories(alive), fs::create_directories(stranger);
  InChild([] { std::exit(0); }); // making its own folder, a process sweeps
  EXPECT_EQ(FoldersLeft(), 2);
  EXPECT_TRUE(fs::exists(alive));
  EXPECT_TRUE(fs::exists(stranger));
}

TEST_F(TempFilesTest, ALinkPlantedAtEveryNameChangesNothing) {
  const fs::path target = m_dir / "victim.txt";
  std::ofstream(target) << "keep me";
  auto plantAll = [&](unsigned except) {
    for (unsigned n = 1; n <= 0xFFFF; ++n) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%X", n);
      if (n != except) fs::create_symlink(target, m_dir / ("TQD" + std::string(hex) + ".bmp"));
    }
  };
  plantAll(0);
  char name[MAX_PATH];
  EXPECT_EQ(GetTempFileNameA(m_dir.c_str(), "TQDropPict", 0, name, ".bmp"), 0u);
  EXPECT_EQ(fs::file_size(target), 7u);

  fs::remove(m_dir / "TQDBEEF.bmp");
  EXPECT_EQ(GetTempFileNameA(m_dir.c_str(), "TQDropPict", 0, name, ".bmp"), 0xBEEFu);
  EXPECT_EQ(fs::path(name), m_dir / "TQDBEEF.bmp");
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(name)));
  EXPECT_EQ(fs::file_size(target), 7u);
}

TEST_F(TempFilesTest, AThousandNamesFromFourThreadsNeverCollide) {
  std::vector<std::set<std::string>> names(4);
  std::vector<std::thread> threads;
  for (auto& mine : names)
    threads.emplace_back([&] {
      char name[MAX_PATH];
      for (int i = 0; i < 250; ++i)
        if (GetTempFileNameA(m_dir.c_str(), "TQScanner", 0, name, ".bmp")) mine.insert(name);
    });
  for (std::thread& t : threads) t.join();
  std::set<std::string> all;
  for (const auto& mine : names) all.insert(mine.begin(), mine.end());
  EXPECT_EQ(all.size(), 1000u);
  EXPECT_EQ(FoldersLeft(), 1000);
}
