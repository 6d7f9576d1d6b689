// The files of a drop decoded side by side on the processor's cores, while the page takes the
// results in drop order. A decoder that cannot run on several threads reads one file at a time,
// on the thread that asks.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"

#include <atomic>
#include <climits>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDecodeDateiArray;
class DecoderInterface;

class CODEWERK_EXPORT CDecodeAhead {
public:
  CDecodeAhead(DecoderInterface& decoder, CDecodeDateiArray& files);
  // Lets the files in hand be finished, then frees every result that was not taken.
  ~CDecodeAhead();
  CDecodeAhead(const CDecodeAhead&) = delete;
  CDecodeAhead& operator=(const CDecodeAhead&) = delete;

  // Entry index of the list and the decoder's handle for it (null: nothing found), which the caller
  // frees; why the file could not be read when that is why there is none. False when the list
  // ends before index.
  bool Take(int index, CString& file, void*& handle, std::string* unreadable = nullptr);

private:
  struct Decoded {
    CString file;
    void* handle = nullptr;
    std::string unreadable = {};
  };
  void Work();
  Decoded Decode(const CString& file);

  DecoderInterface& m_decoder;
  CDecodeDateiArray& m_files;
  std::mutex m_mutex; // guards the decoded entries and the counters
  std::condition_variable m_changed;
  std::map<int, Decoded> m_decoded;
  int m_nNext = 0;      // the entry the next free thread takes
  int m_nEnd = INT_MAX; // the number of entries, once known
  std::atomic<bool> m_bStop{false};
  std::vector<std::thread> m_threads;
};
