#include "sources/DecodeDateiArray.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/Grafik.h"
#include "outside/TempFiles.h"

#include <cstdio>
#include <system_error>

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
  m_bStop = true;
  if (m_worker.joinable()) m_worker.join();
  for (int i = 0; i < m_arDateien.GetSize(); ++i)
    if (m_arTemp[i]) std::remove(m_arDateien[i]);
}

void CDecodeDateiArray::Add(BOOL temporary, const CString& path) {
  {
    std::lock_guard lock(m_mutex);
    m_arTemp.Add(temporary);
    m_arDateien.Add(path);
  }
  m_added.notify_all(); // the readers wait for different entries
}

void CDecodeDateiArray::AddDatei(const CString& path) {
  CTQScanPict scan;
  if (!IsTQScanExtension(GetExtensionOhnePunkt(path)) || !scan.Lade(nullptr, path)) {
    Add(FALSE, path);
    return;
  }
  for (int page = 0; page < scan.GetPageCount() && !m_bStop; ++page) {
    HGLOBAL dib = scan.GetPageDib(page);
    const CString name = dib ? TemporaryBitmapName() : CString();
    if (!name.IsEmpty() && WriteDIB(name, dib)) Add(TRUE, name);
    if (dib) GlobalFree(dib);
  }
}

void CDecodeDateiArray::StartAddingDateien(const CStringArray& paths) {
  if (m_worker.joinable()) m_worker.join();
  auto addAll = [this, paths] {
    try {
      for (int i = 0; i < paths.GetSize() && !m_bStop; ++i) AddDatei(paths[i]);
    } catch (...) {
      // Out of memory on a huge scan: the pages split so far are still decoded.
    }
    {
      std::lock_guard lock(m_mutex);
      m_bAdding = false;
    }
    m_added.notify_all();
  };
  m_bAdding = true;
  try {
    m_worker = std::thread(addAll);
  } catch (const std::system_error&) {
    addAll(); // no thread to be had: split everything first
  }
}

bool CDecodeDateiArray::WaitForDatei(int index, CString& path) {
  std::unique_lock lock(m_mutex);
  m_added.wait(lock, [&] { return index < m_arDateien.GetSize() || !m_bAdding; });
  if (index >= m_arDateien.GetSize()) return false;
  path = m_arDateien[index];
  return true;
}
