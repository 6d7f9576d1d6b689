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

  CArray<BOOL, BOOL> m_arTemp; // per entry: a temporary file of this list
  CStringArray m_arDateien;    // per entry: the full path

private:
  void Add(BOOL temporary, const CString& path);

  std::thread m_worker;
  std::mutex m_mutex; // guards the arrays and m_bAdding while the worker runs
  std::condition_variable m_added;
  bool m_bAdding = false;
  std::atomic<bool> m_bStop{false};
};
