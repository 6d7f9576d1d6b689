// The files of one drop: dropped pictures as they are, multi-page scans split into one temporary
// bitmap per page. The temporary bitmaps go when the list goes.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

struct ReadingModule;

// Pages of a multi-page scan that were not split off, and why; the user is told.
struct SkippedPages {
  enum class Reason { TooManyPages, DiskFull, WriteFailed };
  CString file;
  int pagesSplit = 0;
  int pagesInFile = 0; // counted up to one more than the limit
  Reason reason = Reason::TooManyPages;
};

class CODEWERK_EXPORT CDecodeDateiArray {
public:
  CDecodeDateiArray() = default;
  // Stops a split still at work after its current page, then removes the temporary bitmaps.
  ~CDecodeDateiArray();
  CDecodeDateiArray(const CDecodeDateiArray&) = delete;
  CDecodeDateiArray& operator=(const CDecodeDateiArray&) = delete;

  void AddDatei(const CString& path);
  // Adds the files on a worker thread: the first page of a scan can be decoded while the next
  // ones are still being split. Take the entries with WaitForDatei.
  void StartAddingDateien(const CStringArray& paths);
  // The path of entry index once it is there; false when the list ends before it.
  bool WaitForDatei(int index, CString& path);

  // The scans whose pages were not all split; complete once every entry has been taken.
  std::vector<SkippedPages> GetSkippedPages() const;
  // The page of a split scan that entry index holds (0: the first), -1 for a file taken as it is.
  int GetPage(int index) const;

  CArray<BOOL, BOOL> m_arTemp; // per entry: a temporary file of this list
  CStringArray m_arDateien;    // per entry: the full path

private:
  void Add(BOOL temporary, const CString& path, int page = -1);
  void Skip(const CString& file, int pagesSplit, int pagesInFile, SkippedPages::Reason reason);
  void SplitPages(const CString& path, const ReadingModule& reading, void* scan);

  std::thread m_worker;
  mutable std::mutex m_mutex; // guards the arrays, m_bAdding and m_skipped while the worker runs
  std::condition_variable m_added;
  bool m_bAdding = false;
  std::atomic<bool> m_bStop{false};
  std::vector<SkippedPages> m_skipped; // guarded by m_mutex
  std::vector<int> m_pages;            // per entry, guarded by m_mutex
};
