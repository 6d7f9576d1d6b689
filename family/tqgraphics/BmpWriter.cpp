#include "outside/DibServices.h"

#include "outside/GlobalMemory.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool WriteAll(std::FILE* file, const void* data, size_t size) { return std::fwrite(data, 1, size, file) == size; }

} // namespace

BOOL WriteDIB(const char* fileName, HGLOBAL dib) {
  if (!fileName || !*fileName) return FALSE;
  const auto* bits = static_cast<const unsigned char*>(GlobalLock(dib));
  if (!bits) return FALSE;
  DibLayout layout;
  const bool valid = ReadDibLayout(bits, GlobalSize(dib), layout);
  const size_t dibBytes = layout.headerBytes + layout.imageBytes;
  bool ok = false;
  if (valid && dibBytes + sizeof(BITMAPFILEHEADER) <= 0xFFFFFFFFu) {
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfSize = static_cast<DWORD>(sizeof fileHeader + dibBytes);
    fileHeader.bfOffBits = static_cast<DWORD>(sizeof fileHeader + layout.headerBytes);
    if (std::FILE* file = std::fopen(fileName, "wb")) {
      ok = WriteAll(file, &fileHeader, sizeof fileHeader) && WriteAll(file, bits, dibBytes);
      ok = (std::fclose(file) == 0) && ok;
      if (!ok) {
        const int writeError = errno; // keep the reason for the caller, not remove()'s
        std::remove(fileName);
        errno = writeError;
      }
    }
  }
  GlobalUnlock(dib);
  return ok ? TRUE : FALSE;
}
