#include "outside/DibServices.h"

#include "outside/GlobalMemory.h"
#include "outside/ReplacingFile.h"

#include <cerrno>

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
    // A file of that name is replaced by the complete new one only.
    ReplacingFile file(fileName);
    ok = file.Write(&fileHeader, sizeof fileHeader) && file.Write(bits, dibBytes) && file.Commit();
    if (!ok) errno = file.Error();
  }
  GlobalUnlock(dib);
  return ok ? TRUE : FALSE;
}
