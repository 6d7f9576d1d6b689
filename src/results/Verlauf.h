// The history of reads ("Verlauf"): every code read in the windows, kept in SQLite under
// $XDG_DATA_HOME/codewerk/verlauf.sqlite (mode 0600). Several processes may write at once.
#pragma once

#include "CodewerkExport.h"

#include <ctime>
#include <string>
#include <vector>

struct sqlite3;

struct VerlaufEintrag {
  long long id = 0;
  std::time_t time = 0;
  std::string source;    // the tab it came from: "WebCam", "Datei", …
  std::string file;      // where there is one
  int page = 0;          // a scan's or a TIFF's page; 0: none
  std::string symbology;
  std::string text;      // a WLAN code keeps its network, never its password
};

class CODEWERK_EXPORT CVerlauf {
public:
  // Opens or makes the history; a damaged file is set aside ("<path>.defekt-<time>") with a
  // notice and a fresh one started.
  explicit CVerlauf(std::string path = DefaultPath());
  ~CVerlauf();
  CVerlauf(const CVerlauf&) = delete;
  CVerlauf& operator=(const CVerlauf&) = delete;

  // Records entry and keeps the newest atMost entries; false when it could not be written.
  bool Add(const VerlaufEintrag& entry, long atMost);
  // Newest first; entries whose text, source, file or symbology contain words (any case).
  std::vector<VerlaufEintrag> Find(const std::string& words = "") const;
  bool Remove(long long id);
  bool Clear();
  // Writes the entries as CSV (a header line, RFC 4180 quoting); a cell that a spreadsheet would
  // take for a formula gets a leading "'". False with the reason in error.
  bool ExportCsv(const std::string& path, const std::vector<VerlaufEintrag>& entries, std::string& error) const;

  bool IsOpen() const { return m_db != nullptr; }
  // Why the old file was set aside (German), or empty.
  const std::string& Notice() const { return m_notice; }
  const std::string& Path() const { return m_path; }
  static std::string DefaultPath();

private:
  enum class Opening { Opened, Damaged, Unavailable };
  Opening Open();
  void SetAside();

  std::string m_path, m_notice;
  sqlite3* m_db = nullptr;
};

// The text with a WLAN code's password left out ("P:…;"); other texts as they are.
CODEWERK_EXPORT std::string WithoutWlanPassword(const std::string& text);
