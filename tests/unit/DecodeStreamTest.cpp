// "codewerk decode -" as a pipeline stage: the first file's line comes out before the next name
// has even been written.
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;

namespace {

// The next line the program writes, or what came before it stopped or a minute passed.
std::string ReadLine(int fd) {
  std::string line;
  char c;
  pollfd ready{fd, POLLIN, 0};
  while (poll(&ready, 1, 60000) == 1 && read(fd, &c, 1) == 1 && c != '\n') line += c;
  return line;
}

} // namespace

TEST(DecodeStreamTest, TheFirstResultComesBeforeTheNextNameIsGiven) {
  const fs::path dir = fs::temp_directory_path() / ("codewerk-stream-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string first = (dir / "eins.png").string(), second = (dir / "zwei.png").string();
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode("eins", 4), 8), first));
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode("zwei", 4), 8), second));
  int in[2], out[2];
  ASSERT_EQ(pipe(in), 0);
  ASSERT_EQ(pipe(out), 0);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_adddup2(&files, in[0], 0);
  posix_spawn_file_actions_adddup2(&files, out[1], 1);
  posix_spawn_file_actions_addclose(&files, in[1]);
  posix_spawn_file_actions_addclose(&files, out[0]);
  std::string program = CODEWERK_APP, command = "decode", names = "-";
  char* argv[] = {program.data(), command.data(), names.data(), nullptr};
  pid_t pid = -1;
  ASSERT_EQ(posix_spawn(&pid, program.c_str(), &files, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&files);
  close(in[0]), close(out[1]);

  ASSERT_EQ(write(in[1], (first + "\n").c_str(), first.size() + 1), static_cast<ssize_t>(first.size() + 1));
  EXPECT_EQ(ReadLine(out[0]), first + ": QRCode: eins");
  ASSERT_EQ(write(in[1], (second + "\n").c_str(), second.size() + 1), static_cast<ssize_t>(second.size() + 1));
  close(in[1]);
  EXPECT_EQ(ReadLine(out[0]), second + ": QRCode: zwei");
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  close(out[0]);
  fs::remove_all(dir);
}
