// Whole processes, ours against the tools people use: CPU time and peak memory of reading one
// photograph (zbarimg), the time to read a thousand of them in one call, and CPU time to create a
// code (qrencode). Both sides run in turns, round after round; the medians are compared.
// Usage: bench_processes [ROUNDS] [PICTURES]   (defaults 15 and 1000; the batch runs 3 rounds)
#include "CodeReaders.h"
#include "TestPictures.h"

#include <stb_image_write.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <random>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct Usage {
  double cpuMs = -1, wallMs = -1, peakMb = -1;
};

// One run of the command, its output thrown away. The peak memory comes through /usr/bin/time,
// a small parent (a child of this process would count this process's memory as its own), which
// adds its own time: times are taken without it.
Usage Run(const std::vector<std::string>& command, bool peak = false) {
  const std::string peakFile = fs::temp_directory_path() / ("codewerk-bench-peak-" + std::to_string(getpid()));
  std::vector<std::string> timed = {"/usr/bin/time", "-f", "%M", "-o", peakFile};
  if (!peak) timed.clear();
  timed.insert(timed.end(), command.begin(), command.end());
  std::vector<char*> argv;
  for (const std::string& part : timed) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  const auto start = std::chrono::steady_clock::now();
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &files, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&files);
  if (spawned != 0) return {};
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  Usage result;
  result.wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  result.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  double peakKb = peak ? -1 : 0;
  if (std::FILE* file = peak ? std::fopen(peakFile.c_str(), "r") : nullptr) {
    if (std::fscanf(file, "%lf", &peakKb) != 1) peakKb = -1;
    std::fclose(file);
  }
  fs::remove(peakFile);
  result.peakMb = peakKb / 1024;
  return WIFEXITED(status) && WEXITSTATUS(status) <= 1 && peakKb >= 0 ? result : Usage{};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1 : values[values.size() / 2];
}

// Ours and raw in turns, in random order, after one warm-up run each; prints the medians of what measure takes.
void Compare(const char* what, const std::vector<std::string>& ours, const std::vector<std::string>& raw, int rounds,
             const std::function<double(const Usage&)>& measure, bool peak = false) {
  Run(ours), Run(raw);
  std::vector<double> a, b;
  std::minstd_rand coin(12345);
  for (int i = 0; i < rounds; ++i) {
    // Which goes first changes at random: a fixed order lets the machine's rhythm favour one side.
    Usage o, r;
    if (coin() % 2) o = Run(ours, peak), r = Run(raw, peak);
    else r = Run(raw, peak), o = Run(ours, peak);
    if (measure(o) < 0 || measure(r) < 0) {
      std::printf("%-48s a command failed: %s / %s\n", what, ours[0].c_str(), raw[0].c_str());
      return;
    }
    a.push_back(measure(o)), b.push_back(measure(r));
  }
  std::printf("%-48s %12.1f %12.1f %7.2fx\n", what, Median(a), Median(b), Median(a) / Median(b));
}

// A photograph of a code on a desk: 1600 x 1200, colour, with the noise and tilt of a phone.
void WritePhoto(const fs::path& path, unsigned seed) {
  GrayImage scene = CodelessScene(1600, 1200, seed);
  const GrayImage code = Rotated(WithQuietZone(RenderCode("https://www.example.org/artikel/" + std::to_string(seed), 9), 4), 7);
  Paste(scene, code, 300 + static_cast<int>(seed % 500), 200 + static_cast<int>(seed % 300));
  scene = Noisy(scene, 6, seed);
  std::vector<std::uint8_t> rgb;
  for (std::uint8_t v : scene.pixels) rgb.insert(rgb.end(), {v, static_cast<std::uint8_t>(v * 15 / 16), static_cast<std::uint8_t>(v * 7 / 8)});
  stbi_write_jpg(path.c_str(), scene.width, scene.height, 3, rgb.data(), 88);
}

} // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 15;
  const int pictures = argc > 2 ? std::atoi(argv[2]) : 1000;
  const std::string self = fs::canonical("/proc/self/exe").string();
  const std::string codewerk = self.substr(0, self.rfind('/') + 1) + "codewerk";
  const fs::path dir = fs::temp_directory_path() / ("codewerk-bench-processes-" + std::to_string(getpid()));
  fs::create_directories(dir);
  setenv("TMPDIR", dir.c_str(), 1);
  const fs::path photo = dir / "photo.jpg";
  WritePhoto(photo, 1);
  // A thousand photographs: twenty different ones, each written fifty times.
  std::vector<std::string> ours = {codewerk, "decode", "--jobs", "2"}, raw = {"zbarimg", "-q"};
  for (int i = 0; i < pictures; ++i) {
    const fs::path copy = dir / ("photo" + std::to_string(i) + ".jpg");
    if (i < 20) WritePhoto(copy, static_cast<unsigned>(i + 2));
    else fs::copy_file(dir / ("photo" + std::to_string(i % 20) + ".jpg"), copy);
    ours.push_back(copy.string()), raw.push_back(copy.string());
  }
  const std::string url = "https://www.example.org/q?id=12345";
  const auto cpu = [](const Usage& u) { return u.cpuMs; };
  std::printf("%-48s %12s %12s %8s\n", "case", "ours", "raw", "ratio");
  Compare("decode one photograph: CPU ms (zbarimg)", {codewerk, "decode", photo}, {"zbarimg", "-q", photo}, rounds, cpu);
  Compare("decode one photograph: peak MB (zbarimg)", {codewerk, "decode", photo}, {"zbarimg", "-q", photo}, rounds,
          [](const Usage& u) { return u.peakMb; }, true);
  Compare(("decode " + std::to_string(pictures) + " photographs in one call: wall ms").c_str(), ours, raw, 3,
          [](const Usage& u) { return u.wallMs; });
  Compare("encode a URL: CPU ms (qrencode -o)", {codewerk, "encode", url, "-o", (dir / "code.bmp").string()},
          {"qrencode", "-o", (dir / "code.png").string(), url}, rounds * 4, cpu);
  fs::remove_all(dir);
  return 0;
}
