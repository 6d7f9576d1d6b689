#include "CodeFileChecks.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string Ending(const std::string& path) { return path.substr(path.rfind('.') + 1); }

std::string Output(const std::string& command) {
  std::string text;
  if (std::FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    pclose(pipe);
  }
  return text;
}

unsigned BigEndian32(const std::string& bytes, std::size_t at) {
  if (at + 4 > bytes.size()) return 0;
  return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
         (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
}

} // namespace

GrayImage CodeFilePicture(const std::string& path) {
  const std::string format = Ending(path), png = path + ".drawn.png";
  if (format == "svg" && std::system(("rsvg-convert -d 300 -p 300 '" + path + "' -o '" + png + "'").c_str()) != 0) return {};
  if (format == "pdf" && std::system(("pdftoppm -r 300 -png -singlefile '" + path + "' '" + path + ".drawn'").c_str()) != 0)
    return {};
  if (format != "svg" && format != "pdf") return LoadGrayWithStb(path);
  GrayImage picture = LoadGrayWithStb(png);
  std::remove(png.c_str());
  return picture;
}

double CodeFileMillimetres(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  const std::string format = Ending(path);
  if (format == "png") {
    const auto at = bytes.find("pHYs");
    const unsigned perMetre = at == std::string::npos ? 0 : BigEndian32(bytes, at + 4);
    return perMetre ? BigEndian32(bytes, 16) * 1000.0 / perMetre : -1; // IHDR's width over pixels a metre
  }
  if (format == "svg") {
    const auto at = bytes.find("width=\"");
    return at == std::string::npos ? -1 : std::atof(bytes.c_str() + at + 7);
  }
  double width = -1;
  std::sscanf(Output("pdfinfo '" + path + "' | grep 'Page size'").c_str(), "Page size: %lf", &width);
  return width < 0 ? -1 : width / 72 * 25.4;
}
