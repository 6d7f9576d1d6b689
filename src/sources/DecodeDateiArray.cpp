#include "sources/DecodeDateiArray.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/Grafik.h"
#include "outside/TempFiles.h"

#include <cstdio>

namespace {

// A fresh temporary name ending in ".bmp"; the empty file the name was reserved with goes.
CString TemporaryBitmapName() {
  char folder[MAX_PATH];
  char reserved[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQDropPict", 0, reserved)) return CString();
  std::remove(reserved);
  return CString(reserved) + ".bmp";
}

} // namespace

CDecodeDateiArray::~CDecodeDateiArray() {
  for (int i = 0; i < m_arDateien.GetSize(); ++i)
    if (m_arTemp[i]) std::remove(m_arDateien[i]);
}

void CDecodeDateiArray::AddDatei(const CString& path) {
  CTQScanPict scan;
  if (!IsTQScanExtension(GetExtensionOhnePunkt(path)) || !scan.Lade(nullptr, path)) {
    m_arTemp.Add(FALSE);
    m_arDateien.Add(path);
    return;
  }
  for (int page = 0; page < scan.GetPageCount(); ++page) {
    HGLOBAL dib = scan.GetPageDib(page);
    const CString name = dib ? TemporaryBitmapName() : CString();
    if (!name.IsEmpty() && WriteDIB(name, dib)) {
      m_arTemp.Add(TRUE);
      m_arDateien.Add(name);
    }
    if (dib) GlobalFree(dib);
  }
}
