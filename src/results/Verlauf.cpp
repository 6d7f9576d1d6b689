#include "results/Verlauf.h"

#include "encode/TypedTexts.h"
#include "outside/ReplacingFile.h"

#include <sqlite3.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kBusyMilliseconds = 10000; // another process's write waits, it does not fail

constexpr const char* kSchema =
    "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
    "CREATE TABLE IF NOT EXISTS verlauf (id INTEGER PRIMARY KEY AUTOINCREMENT, zeit INTEGER NOT NULL, quelle TEXT,"
    " datei TEXT, seite INTEGER, symbologie TEXT, text TEXT);";

// A statement that finalizes itself.
class Statement {
public:
  Statement(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr); }
  ~Statement() { sqlite3_finalize(m_statement); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool Ok() const { return m_statement != nullptr; }
  Statement& Bind(int index, const std::string& text) {
    sqlite3_bind_text(m_statement, index, text.c_str(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
  }
  Statement& Bind(int index, long long value) {
    sqlite3_bind_int64(m_statement, index, value);
    return *this;
  }
  int Step() { return m_statement ? sqlite3_step(m_statement) : SQLITE_ERROR; }
  std::string Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(m_statement, column))) : std::string();
  }
  long long Number(int column) const { return sqlite3_column_int64(m_statement, column); }

private:
  sqlite3_stmt* m_statement = nullptr;
};

bool Execute(sqlite3* db, const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

std::string LocalTime(std::time_t time) { return TimeText(time, "%Y-%m-%d %H:%M:%S", false); }

std::string CsvCell(std::string text) {
  if (!text.empty() && std::strchr("=+-@\t\r", text[0])) text.insert(text.begin(), '\'');
  if (text.find_first_of("\",\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

} // namespace

// Every "P:" field of a WLAN text goes, parsed or not: a malformed code keeps no secret either.
std::string WithoutWlanPassword(const std::string& text) {
  if (text.size() < 5 || strncasecmp(text.c_str(), "WIFI:", 5) != 0) return text;
  std::string kept = text.substr(0, 5), field;
  bool escaped = false;
  auto flush = [&](bool withSeparator) {
    std::size_t start = field.find_first_not_of(" \t\r\n");
    const bool password = start != std::string::npos && field.size() > start + 1 &&
                          (field[start] == 'P' || field[start] == 'p') && field[start + 1] == ':';
    if (!password) kept += field + (withSeparator ? ";" : "");
    field.clear();
  };
  for (std::size_t i = 5; i < text.size(); ++i) {
    const char c = text[i];
    if (!escaped && c == ';') {
      flush(true);
      continue;
    }
    escaped = !escaped && c == '\\';
    field += c;
  }
  flush(false);
  return kept;
}

std::string CVerlauf::DefaultPath() {
  const char* data = std::getenv("XDG_DATA_HOME");
  const char* home = std::getenv("HOME");
  const std::string base = data && *data ? data : std::string(home ? home : ".") + "/.local/share";
  return base + "/codewerk/verlauf.sqlite";
}

CVerlauf::CVerlauf(std::string path) : m_path(std::move(path)) {
  Opening opening = Open();
  if (opening == Opening::Damaged) {
    SetAside();
    opening = Open();
  }
  if (opening != Opening::Opened)
    m_notice = "Der Verlauf „" + m_path + "“ kann nicht geöffnet werden; es wird nichts aufgezeichnet.";
}

CVerlauf::~CVerlauf() { sqlite3_close(m_db); }

// The file is made 0600 before SQLite opens it (its -wal and -shm files take the same mode); a
// file that is not a history, or a damaged one, is refused.
CVerlauf::Opening CVerlauf::Open() {
  std::error_code ignored;
  if (fs::create_directories(fs::path(m_path).parent_path(), ignored)) chmod(fs::path(m_path).parent_path().c_str(), 0700);
  const int fd = open(m_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return Opening::Unavailable;
  fchmod(fd, 0600);
  close(fd);
  if (sqlite3_open_v2(m_path.c_str(), &m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOFOLLOW, nullptr) != SQLITE_OK) {
    sqlite3_close(m_db), m_db = nullptr;
    return Opening::Unavailable;
  }
  sqlite3_busy_timeout(m_db, kBusyMilliseconds);
  bool sound = false;
  {
    Statement check(m_db, "PRAGMA quick_check;");
    const int step = check.Step();
    // Busy or out of memory says nothing about the file; only its own verdict does.
    sound = (step == SQLITE_ROW && check.Text(0) == "ok") ||
            (step != SQLITE_ROW && sqlite3_errcode(m_db) != SQLITE_CORRUPT && sqlite3_errcode(m_db) != SQLITE_NOTADB);
    if (step != SQLITE_ROW && sound) {
      sqlite3_close(m_db), m_db = nullptr;
      return Opening::Unavailable;
    }
  } // finished before the schema may change the journal
  if (!sound || !Execute(m_db, kSchema)) {
    const int why = sqlite3_errcode(m_db);
    sqlite3_close(m_db), m_db = nullptr;
    return sound && why != SQLITE_CORRUPT && why != SQLITE_NOTADB ? Opening::Unavailable : Opening::Damaged;
  }
  return Opening::Opened;
}

void CVerlauf::SetAside() {
  const std::string aside = m_path + ".defekt-" + std::to_string(std::time(nullptr));
  std::rename(m_path.c_str(), aside.c_str());
  std::rename((m_path + "-wal").c_str(), (aside + "-wal").c_str()); // what it held goes along
  std::remove((m_path + "-shm").c_str());
  m_notice = "Der Verlauf war beschädigt und ist als „" + aside + "“ beiseitegelegt; ein neuer Verlauf ist angelegt.";
}

bool CVerlauf::Add(const VerlaufEintrag& entry, long atMost) {
  if (!m_db || !Execute(m_db, "BEGIN IMMEDIATE;")) return false;
  Statement insert(m_db, "INSERT INTO verlauf (zeit, quelle, datei, seite, symbologie, text) VALUES (?, ?, ?, ?, ?, ?);");
  insert.Bind(1, static_cast<long long>(entry.time ? entry.time : std::time(nullptr)))
      .Bind(2, entry.source).Bind(3, entry.file).Bind(4, static_cast<long long>(entry.page))
      .Bind(5, entry.symbology).Bind(6, WithoutWlanPassword(entry.text));
  Statement prune(m_db, "DELETE FROM verlauf WHERE id <= (SELECT id FROM verlauf ORDER BY id DESC LIMIT 1 OFFSET ?);");
  prune.Bind(1, static_cast<long long>(atMost > 0 ? atMost : 1));
  const bool done = insert.Step() == SQLITE_DONE && prune.Step() == SQLITE_DONE && Execute(m_db, "COMMIT;");
  if (!done) Execute(m_db, "ROLLBACK;");
  return done;
}

std::vector<VerlaufEintrag> CVerlauf::Find(const std::string& words) const {
  std::vector<VerlaufEintrag> found;
  if (!m_db) return found;
  Statement select(m_db,
                   "SELECT id, zeit, quelle, datei, seite, symbologie, text FROM verlauf WHERE ?1 = '' OR"
                   " instr(lower(text), lower(?1)) OR instr(lower(quelle), lower(?1)) OR instr(lower(datei), lower(?1))"
                   " OR instr(lower(symbologie), lower(?1)) ORDER BY id DESC;");
  select.Bind(1, words);
  while (select.Step() == SQLITE_ROW)
    found.push_back({select.Number(0), static_cast<std::time_t>(select.Number(1)), select.Text(2), select.Text(3),
                     static_cast<int>(select.Number(4)), select.Text(5), select.Text(6)});
  return found;
}

bool CVerlauf::Remove(long long id) {
  Statement remove(m_db, "DELETE FROM verlauf WHERE id = ?;");
  return m_db && remove.Bind(1, id).Step() == SQLITE_DONE;
}

bool CVerlauf::Clear() { return m_db && Execute(m_db, "DELETE FROM verlauf;"); }

bool CVerlauf::ExportCsv(const std::string& path, const std::vector<VerlaufEintrag>& entries, std::string& error) const {
  std::string csv = "Zeit,Quelle,Datei,Seite,Symbologie,Text\r\n";
  for (const VerlaufEintrag& e : entries)
    csv += CsvCell(LocalTime(e.time)) + "," + CsvCell(e.source) + "," + CsvCell(e.file) + "," +
           (e.page ? std::to_string(e.page) : std::string()) + "," + CsvCell(e.symbology) + "," + CsvCell(e.text) + "\r\n";
  ReplacingFile file(path);
  if (file.Write(csv.data(), csv.size()) && file.Commit()) return true;
  error = std::strerror(file.Error() ? file.Error() : EIO);
  return false;
}
