#include "TestScanners.h"

#include "TestPictures.h"
#include "outside/ProgramSettings.h"
#include "outside/Scanning.h"
#include "outside/TempFiles.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("codewerk-sane-" + std::to_string(getpid()));
    fs::create_directories(path);
    std::atexit([] { std::error_code ignored; fs::remove_all(Folder(), ignored); });
    return path;
  }();
  return folder;
}

} // namespace

std::string UseTestScanners(const std::string& backends) {
  std::ofstream(Folder() / "dll.conf", std::ios::trunc) << backends;
  setenv("SANE_CONFIG_DIR", Folder().c_str(), 1);
  return Folder().string();
}

bool SavePgm(const GrayImage& image, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file << "P5\n" << image.width << " " << image.height << "\n255\n";
  file.write(reinterpret_cast<const char*>(image.pixels.data()), static_cast<std::streamsize>(image.pixels.size()));
  return static_cast<bool>(file);
}

std::string CodePage(const std::string& text, int dpi, const std::string& path) {
  const GrayImage code = RenderCode(text, 1);
  const int module = std::max(1, static_cast<int>(25.0 / 25.4 * dpi) / code.width);
  GrayImage page = Canvas(static_cast<int>(210 / 25.4 * dpi), static_cast<int>(297 / 25.4 * dpi));
  Paste(page, Scaled(code, module), page.width / 2, page.height / 5);
  SavePgm(page, path);
  return path;
}

int ScannedFilesLeft(const char* prefix) {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder)) return -1;
  int n = 0;
  for (const auto& entry : fs::directory_iterator(folder)) n += entry.path().filename().string().rfind(prefix, 0) == 0;
  return n;
}

void UseScanner(const char* device, ScanVorlage vorlage, const std::string& options) {
  ScanAuswahl{device, vorlage, ""}.Sichere("QRCode");
  CLokaleProgrammEinstellung::GetItem().SetText("Scannen QRCode", "Optionen", options.c_str());
}
