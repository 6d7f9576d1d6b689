// A file written in one step: the bytes go to a spare file beside it, which replaces it whole once
// complete. A failure leaves the old file as it was and no spare behind.
#pragma once

#include <cstddef>
#include <string>

class ReplacingFile {
public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile(); // the spare goes unless committed
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  bool Write(const void* data, std::size_t size);
  // For writers that open the file by name themselves.
  const std::string& SparePath() const { return m_spare; }
  // Puts the spare in the file's place; durable: on the disk first, whatever may come.
  bool Commit(bool durable = false);
  // The errno of the first failure, 0 while there was none.
  int Error() const { return m_error; }

private:
  void Fail(int error);

  std::string m_path, m_spare;
  int m_fd = -1;
  int m_error = 0;
  bool m_committed = false;
};
