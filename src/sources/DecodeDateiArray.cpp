#include "sources/DecodeDateiArray.h"

#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"
#include "outside/ReadingModule.h"
#include "outside/ScanPict.h"
#include "outside/TempFiles.h"

#include <cerrno>
#include <optional>
#include <cstdio>
#include <sys/statvfs.h>
#include <system_error>

namespace {

// A bitmap file of our own in the private temporary folder, made empty under its final name.
CString TemporaryBitmapName() {
  char folder[MAX_PATH];
  char name[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || !GetTempFileNameA(folder, "TQDropPict", 0, name, ".bmp")) return CString();
  return CString(name);
}

// Whether the folder of name has room for a page of this many bytes, with some to spare for
// everything else on the disk.
bool HasRoomFor(const CString& name, std::size_t bytes) {
  constexpr unsigned long long kSpare = 16u << 20;
  struct statvfs disk;
  const std::string folder = name.str().substr(0, name.str().rfind('/') + 1);
  if (statvfs(folder.c_str(), &disk) != 0) return true; // cannot tell: the write will
  return static_cast<unsigned long long>(disk.f_bavail) * disk.f_frsize >= bytes + kSpare;
}

} // namespace

CDecodeDateiArray::~CDecodeDateiArray() {
  m_bStop = true;
  if (m_worker.joinable()) m_worker.join();
  for (int i = 0; i < m_arDateien.GetSize(); ++i)
    if (m_arTemp[i]) std::remove(m_arDateien[i]);
}

void CDecodeDateiArray::Add(BOOL temporary, const CString& path, int page) {
  {
    std::lock_guard lock(m_mutex);
    m_arTemp.Add(temporary);
    m_arDateien.Add(path);
    m_pages.push_back(page);
  }
  m_added.notify_all(); // the readers wait for different entries
}

void CDecodeDateiArray::AddDatei(const CString& path) {
  const ReadingModule* reading = IsTQScanExtension(GetExtensionOhnePunkt(path)) ? GetReadingModule() : nullptr;
  void* scan = reading ? reading->OpenScanPict(path) : nullptr;
  if (!scan) {
    Add(FALSE, path); // for the decoder to read, or to say why it cannot
    return;
  }
  SplitPages(path, *reading, scan);
  reading->CloseScanPict(scan);
}

// Pages already split stay in the list when a later one cannot be written: they are read.
void CDecodeDateiArray::SplitPages(const CString& path, const ReadingModule& reading, void* scan) {
  int pagesInFile = 0;
  const int pages = reading.GetScanPictPages(scan, &pagesInFile);
  int page = 0;
  for (; page < pages && !m_bStop; ++page) {
    HGLOBAL dib = reading.GetScanPictPageDib(scan, page);
    if (!dib) continue; // a damaged page holds no code
    const CString name = TemporaryBitmapName();
    std::optional<SkippedPages::Reason> failure;
    if (name.IsEmpty()) failure = SkippedPages::Reason::WriteFailed;
    else if (!HasRoomFor(name, GlobalSize(dib) + sizeof(BITMAPFILEHEADER))) failure = SkippedPages::Reason::DiskFull;
    else if (!WriteDIB(name, dib)) failure = errno == ENOSPC ? SkippedPages::Reason::DiskFull : SkippedPages::Reason::WriteFailed;
    GlobalFree(dib);
    if (failure) {
      if (!name.IsEmpty()) std::remove(name);
      Skip(path, page, pagesInFile, *failure);
      return;
    }
    Add(TRUE, name, page);
  }
  if (!m_bStop && pagesInFile > pages) Skip(path, page, pagesInFile, SkippedPages::Reason::TooManyPages);
}

void CDecodeDateiArray::Skip(const CString& file, int pagesSplit, int pagesInFile, SkippedPages::Reason reason) {
  std::lock_guard lock(m_mutex);
  m_skipped.push_back({file, pagesSplit, pagesInFile, reason});
}

int CDecodeDateiArray::GetPage(int index) const {
  std::lock_guard lock(m_mutex);
  return index >= 0 && index < static_cast<int>(m_pages.size()) ? m_pages[static_cast<std::size_t>(index)] : -1;
}

std::vector<SkippedPages> CDecodeDateiArray::GetSkippedPages() const {
  std::lock_guard lock(m_mutex);
  return m_skipped;
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
