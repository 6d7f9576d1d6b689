// The history of reads ("Verlauf"): kept, found, pruned, shared by processes writing at once,
// exported as CSV, never holding a WLAN password, and a damaged file set aside.
#include "TestFolder.h"
#include "results/Verlauf.h"

#include <cstdlib>
#include <sys/wait.h>

namespace {

class VerlaufTest : public InFolder<> {
protected:
  static VerlaufEintrag Entry(const std::string& text) { return {0, 0, "Datei", "/scans/lieferschein.tif", 2, "QRCode", text}; }

  std::string m_path = (m_dir / "codewerk" / "verlauf.sqlite").string();
};

} // namespace

// Kept, pruned to the newest, found by words, forgotten on request, exported as CSV, never holding
// a WLAN password, shared by processes, and set aside when damaged.
TEST_F(VerlaufTest, HistoryKeepsTheNewestFindsForgetsExportsSharesAndHoldsNoWlanPassword) {
  {
    CVerlauf verlauf(m_path);
    ASSERT_TRUE(verlauf.IsOpen()) << verlauf.Notice();
    for (const char* text : {"Lager 1", "Lager 2", "Büro 3", "lager 4", "Werk 5"}) ASSERT_TRUE(verlauf.Add(Entry(text), 4));
    EXPECT_EQ(Texts(verlauf.Find(), false), (std::vector<std::string>{"Werk 5", "lager 4", "Büro 3", "Lager 2"})) << "the oldest went";
    EXPECT_EQ(Texts(verlauf.Find("LAGER"), false), (std::vector<std::string>{"lager 4", "Lager 2"}));
    EXPECT_EQ(verlauf.Find().front().page, 2);
    EXPECT_EQ(verlauf.Find("lieferschein").size(), 4u) << "the file name is searched too";
    EXPECT_TRUE(verlauf.Remove(verlauf.Find().front().id) && verlauf.Find().size() == 3u);
    EXPECT_TRUE(verlauf.Clear() && verlauf.Find().empty());
    // Exported as CSV, it reads back with Python's reader: the header, then the newest first; no formula for a spreadsheet.
    for (const char* text : {"Lieferschein 4711", "a,b \"c\"\nzweite Zeile", "=HYPERLINK(\"http://x\")", "Grüße"})
      verlauf.Add(Entry(text), 100);
    const std::string csv = (m_dir / "verlauf.csv").string(), read = (m_dir / "read.txt").string();
    std::string error;
    ASSERT_TRUE(verlauf.ExportCsv(csv, verlauf.Find(), error)) << error;
    ASSERT_EQ(std::system(("python3 -c 'import csv, sys\nrows = list(csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\")))\n"
                           "print(len(rows))\nfor row in rows: print(repr(row[5]))' '" + csv + "' > '" + read + "'").c_str()), 0);
    EXPECT_EQ(FileText(read), "5\n'Text'\n'Grüße'\n'\\'=HYPERLINK(\"http://x\")'\n'a,b \"c\"\\nzweite Zeile'\n'Lieferschein 4711'\n");
    // A WLAN read keeps its network but leaves no password in the files.
    ASSERT_TRUE(verlauf.Add(Entry("WIFI:T:WPA;S:Lager-Netz;P:Geheim-Passwort-123;;"), 100));
    EXPECT_EQ(verlauf.Find().at(0).text, "WIFI:T:WPA;S:Lager-Netz;;");
  }
  for (const auto& entry : fs::directory_iterator(m_dir / "codewerk"))
    EXPECT_EQ(FileText(entry.path()).find("Geheim-Passwort"), std::string::npos) << entry.path();
  EXPECT_EQ(fs::status(m_path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(WithoutWlanPassword("Passwort: 123"), "Passwort: 123");
  for (const char* malformed : {"WIFI:T:WPA;P:geheim;;", "wifi:p:geheim;S:a\\;b;;", "WIFI:S:x; P:geheim"})
    EXPECT_EQ(WithoutWlanPassword(malformed).find("geheim"), std::string::npos) << malformed;

  // Written by two processes at once (the file exists already), the history loses nothing; damaged, it is set aside.
  pid_t writers[2];
  for (int w = 0; w < 2; ++w)
    if ((writers[w] = fork()) == 0) {
      CVerlauf verlauf(m_path);
      for (int i = 0; i < 1000; ++i)
        if (!verlauf.Add(Entry("Prozess " + std::to_string(w) + " Nr. " + std::to_string(i)), 5000)) _exit(1);
      _exit(0);
    }
  for (int status = 0; pid_t pid : writers) EXPECT_TRUE(waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(CVerlauf(m_path).Find("Prozess").size(), 2000u);

  // Damaged, it is set aside and a fresh one started.
  const std::string whole = FileText(m_path);
  std::ofstream(m_path, std::ios::binary | std::ios::trunc).write(whole.data(), static_cast<long>(whole.size() / 3));
  fs::remove(m_path + "-wal"), fs::remove(m_path + "-shm");
  CVerlauf verlauf(m_path);
  ASSERT_TRUE(verlauf.IsOpen());
  EXPECT_NE(verlauf.Notice().find("beiseitegelegt"), std::string::npos) << verlauf.Notice();
  EXPECT_EQ(std::count_if(fs::directory_iterator(m_dir / "codewerk"), {},
                          [](const auto& e) { return e.path().filename().string().starts_with("verlauf.sqlite.defekt-"); }), 1);
  EXPECT_TRUE(verlauf.Find().empty() && verlauf.Add(Entry("neu"), 10));
  std::ofstream(m_dir / "kein.sqlite") << "Dies ist keine Datenbank, sondern Text.";
  EXPECT_TRUE(CVerlauf((m_dir / "kein.sqlite").string()).IsOpen());
}
