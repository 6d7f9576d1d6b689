// Process start to main dialog on screen, against a minimal wxWidgets program showing an empty
// dialog of the same size. Each probe runs as a fresh process; the medians are compared.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

double RunOnce(const std::string& program) {
  char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = 0;
  if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

double Median(const std::string& program, int runs) {
  RunOnce(program); // warm the file cache
  std::vector<double> times;
  for (int i = 0; i < runs; ++i)
    if (const double t = RunOnce(program); t >= 0) times.push_back(t);
  if (times.empty()) return -1;
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
  const std::string folder = std::string(argv[0]).substr(0, std::string(argv[0]).rfind('/') + 1);
  const int runs = argc > 1 ? std::atoi(argv[1]) : 15;
  // The probes exit without tearing their dialog down, so their temporary files go with this folder.
  std::string scratch = (std::filesystem::temp_directory_path() / "codewerk-startup-XXXXXX").string();
  if (!mkdtemp(scratch.data())) return 1;
  setenv("TMPDIR", scratch.c_str(), 1);
  const double ours = Median(folder + "startup_main_dialog", runs);
  const double raw = Median(folder + "startup_minimal_dialog", runs);
  std::filesystem::remove_all(scratch);
  if (ours < 0 || raw < 0) {
    std::fprintf(stderr, "a probe failed (is there a display? make bench runs under xvfb-run)\n");
    return 1;
  }
  std::printf("%-48s %12s %12s %8s\n", "case", "ours", "raw", "ratio");
  std::printf("%-48s %12.1f %12.1f %7.2fx\n", "start to main dialog shown (ms, median)", ours, raw, ours / raw);
  return 0;
}
