// A host program that only needs codes: it creates one and reads it back, and no window system
// library is loaded on the way.
#include <codewerk/decode/CodeReader.h>
#include <codewerk/encode/CodeFiles.h>
#include <codewerk/encode/EncoderGetCodeItem_QREncode.h>

#include <cstdio>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string file = argv[1];
  CEncoderGetCodeItem_QREncode encoder;
  const std::optional<CodeMatrix> code = MakeCodeMatrix("Codewerk ohne Fenster", encoder);
  std::string error;
  if (!code || !WriteCodeFile(file, CodeFileFormat::Png, *code, CodeFileLayout{}, error))
    return std::printf("not written: %s\n", error.c_str()), 1;
  CodeReader reader(Decoder_ZXing, true);
  CDecodeResultArray results;
  if (!reader.Read(file.c_str(), results) || results.GetSize() != 1) return std::puts("not read"), 1;
  std::printf("read: %s\n", results[0]->m_strText.str().c_str());
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);)
    if (line.find("libwx_") != std::string::npos || line.find("libgtk") != std::string::npos)
      return std::printf("loaded: %s\n", line.c_str()), 1;
  return 0;
}
