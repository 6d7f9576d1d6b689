// The history of reads ("Verlauf"): kept, found, pruned, shared by processes writing at once,
// exported as CSV, never holding a WLAN password, and a damaged file set aside.
#include "results/Verlauf.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class VerlaufTest : public ::testing::Test {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }

  static VerlaufEintrag Entry(const std::string& text) { return {0, 0, "Datei", "/scans/lieferschein.tif", 2, "QRCode", text}; }
  static std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-verlauf-" + std::to_string(getpid()));
  std::string m_path = (m_dir / "codewerk" / "verlauf.sqlite").string();
};

} // namespace

// Kept, pruned to the newest, found by words, forgotten on request, exported as CSV, and never
// holding a WLAN password.
TEST_F(VerlaufTest, HistoryKeepsTheNewestFindsForgetsExportsAndHoldsNoWlanPassword) {
  {
    CVerlauf verlauf(m_path);
    ASSERT_TRUE(verlauf.IsOpen()) << verlauf.Notice();
    for (const char* text : {"Lager 1", "Lager 2", "Büro 3", "lager 4", "Werk 5"}) ASSERT_TRUE(verlauf.Add(Entry(text), 4));
    std::vector<VerlaufEintrag> all = verlauf.Find();
    ASSERT_EQ(all.size(), 4u) << "the oldest went";
    EXPECT_EQ(all.front().text, "Werk 5");
    EXPECT_EQ(all.back().text, "Lager 2");
    EXPECT_EQ(all.front().page, 2);
    EXPECT_EQ(verlauf.Find("LAGER").size(), 2u);
    EXPECT_EQ(verlauf.Find("lieferschein").size(), 4u) << "the file name is searched too";
    EXPECT_TRUE(verlauf.Remove(all.front().id));
    EXPECT_EQ(verlauf.Find().size(), 3u);
    EXPECT_TRUE(verlauf.Clear());
    EXPECT_TRUE(verlauf.Find().empty());
    // Exported as CSV, it reads back with Python's reader: the header, then the newest first; no formula for a spreadsheet.
    for (const char* text : {"Lieferschein 4711", "a,b \"c\"\nzweite Zeile", "=HYPERLINK(\"http://x\")", "Grüße"})
      verlauf.Add(Entry(text), 100);
    const std::string csv = (m_dir / "verlauf.csv").string();
    std::string error;
    ASSERT_TRUE(verlauf.ExportCsv(csv, verlauf.Find(), error)) << error;
    std::FILE* pipe = popen(("python3 -c 'import csv, sys\nrows = list(csv.reader(open(sys.argv[1], newline=\"\", encoding=\"utf-8\")))\n"
                             "print(len(rows))\nfor row in rows: print(repr(row[5]))' '" + csv + "'").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string read;
    for (int c; (c = std::fgetc(pipe)) != EOF;) read += static_cast<char>(c);
    pclose(pipe);
    EXPECT_EQ(read, "5\n'Text'\n'Grüße'\n'\\'=HYPERLINK(\"http://x\")'\n'a,b \"c\"\\nzweite Zeile'\n'Lieferschein 4711'\n");
    // A WLAN read keeps its network but leaves no password in the files.
    ASSERT_TRUE(verlauf.Add(Entry("WIFI:T:WPA;S:Lager-Netz;P:Geheim-Passwort-123;;"), 100));
    EXPECT_EQ(verlauf.Find().at(0).text, "WIFI:T:WPA;S:Lager-Netz;;");
  }
  for (const auto& entry : fs::directory_iterator(m_dir / "codewerk"))
    EXPECT_EQ(Bytes(entry.path()).find("Geheim-Passwort"), std::string::npos) << entry.path();
  struct stat st;
  ASSERT_EQ(stat(m_path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  EXPECT_EQ(WithoutWlanPassword("Passwort: 123"), "Passwort: 123");
  for (const char* malformed : {"WIFI:T:WPA;P:geheim;;", "wifi:p:geheim;S:a\\;b;;", "WIFI:S:x; P:geheim"})
    EXPECT_EQ(WithoutWlanPassword(malformed).find("geheim"), std::string::npos) << malformed;
}

// Written by two processes at once, the history loses nothing; damaged, it is set aside.
TEST_F(VerlaufTest, TwoProcessesWritingAtOnceLoseNothingAndADamagedFileIsSetAside) {
  CVerlauf(m_path).Add(Entry("vorher"), 5000); // the file exists before either writes
  pid_t writers[2];
  for (int w = 0; w < 2; ++w)
    if ((writers[w] = fork()) == 0) {
      CVerlauf verlauf(m_path);
      for (int i = 0; i < 1000; ++i)
        if (!verlauf.Add(Entry("Prozess " + std::to_string(w) + " Nr. " + std::to_string(i)), 5000)) _exit(1);
      _exit(0);
    }
  for (pid_t pid : writers) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  EXPECT_EQ(CVerlauf(m_path).Find("Prozess").size(), 2000u);

  // Damaged, it is set aside and a fresh one started.
  const std::string whole = Bytes(m_path);
  std::ofstream(m_path, std::ios::binary | std::ios::trunc).write(whole.data(), static_cast<long>(whole.size() / 3));
  fs::remove(m_path + "-wal"), fs::remove(m_path + "-shm");
  CVerlauf verlauf(m_path);
  ASSERT_TRUE(verlauf.IsOpen());
  EXPECT_NE(verlauf.Notice().find("beiseitegelegt"), std::string::npos) << verlauf.Notice();
  int setAside = 0;
  for (const auto& entry : fs::directory_iterator(m_dir / "codewerk"))
    setAside += entry.path().filename().string().find("verlauf.sqlite.defekt-") == 0;
  EXPECT_EQ(setAside, 1);
  EXPECT_TRUE(verlauf.Find().empty());
  EXPECT_TRUE(verlauf.Add(Entry("neu"), 10));
  std::ofstream(m_dir / "kein.sqlite") << "Dies ist keine Datenbank, sondern Text.";
  EXPECT_TRUE(CVerlauf((m_dir / "kein.sqlite").string()).IsOpen());
}
