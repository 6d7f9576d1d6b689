#include "sources/DecodeAhead.h"

#include "decode/CodeReader.h"
#include "sources/DecodeDateiArray.h"

#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A scanned page in zxing takes tens of megabytes: more threads than this would only add memory.
constexpr unsigned kMostThreads = 4;

} // namespace

CDecodeAhead::CDecodeAhead(DecoderInterface& decoder, CDecodeDateiArray& files) : m_decoder(decoder), m_files(files) {
  if (!decoder.CanDecodeConcurrently()) return;
  const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, kMostThreads);
  try {
    for (unsigned i = 0; i < count; ++i) m_threads.emplace_back([this] { Work(); });
  } catch (const std::system_error&) {
    // Fewer threads than wished; with none, Take reads each file itself.
  }
}

CDecodeAhead::~CDecodeAhead() {
  {
    std::lock_guard lock(m_mutex);
    m_bStop = true;
  }
  for (std::thread& thread : m_threads) thread.join();
  for (auto& [index, decoded] : m_decoded)
    if (decoded.handle) m_decoder.FreeDecodeResult(decoded.handle);
}

// On the thread that reads: why a file could not be read is known there only.
CDecodeAhead::Decoded CDecodeAhead::Decode(const CString& file) {
  Decoded decoded{file};
  try {
    decoded.handle = m_decoder.DecodeImage(file, T_DecodeImageSource_Datei);
  } catch (...) {
    decoded.handle = nullptr; // a file the decoder chokes on holds no code for this drop
  }
  if (!decoded.handle) decoded.unreadable = CodeReader::LastReadError();
  return decoded;
}

void CDecodeAhead::Work() {
  // Below the splitting of scans, which every decoder waits for, and below the user interface.
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), getpriority(PRIO_PROCESS, static_cast<id_t>(gettid())) + 10);
  for (;;) {
    int index;
    {
      std::lock_guard lock(m_mutex);
      if (m_bStop || m_nNext >= m_nEnd) return;
      index = m_nNext++;
    }
    CString file;
    const bool there = m_files.WaitForDatei(index, file);
    Decoded decoded = there && !m_bStop ? Decode(file) : Decoded{file}; // a drop given up needs no more reading
    {
      std::lock_guard lock(m_mutex);
      if (there) m_decoded[index] = std::move(decoded);
      else m_nEnd = std::min(m_nEnd, index);
    }
    m_changed.notify_all();
  }
}

bool CDecodeAhead::Take(int index, CString& file, void*& handle, std::string* unreadable) {
  if (m_threads.empty()) {
    if (!m_files.WaitForDatei(index, file)) return false;
    Decoded decoded = Decode(file);
    handle = decoded.handle;
    if (unreadable) *unreadable = decoded.unreadable;
    return true;
  }
  std::unique_lock lock(m_mutex);
  m_changed.wait(lock, [&] { return m_decoded.count(index) || index >= m_nEnd; });
  const auto found = m_decoded.find(index);
  if (found == m_decoded.end()) return false;
  file = found->second.file;
  handle = found->second.handle;
  if (unreadable) *unreadable = found->second.unreadable;
  m_decoded.erase(found);
  return true;
}
