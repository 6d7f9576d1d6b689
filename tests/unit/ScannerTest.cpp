// Scanning through SANE without a window: pages as devices deliver them, whole jobs on SANE's own
// pnm and test devices (a code through pnm, feeder batches, faults, cancelling); keyboard scanners.
#include "CodeReaders.h"
#include "TestScanners.h"
#include "sources/ScannerKeystrokes.h"
#include "tqscan/ScanJob.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

SANE_Parameters Frame(SANE_Frame format, int depth, int width, int lines, int bytesPerLine, bool last = true) {
  return {format, last ? SANE_TRUE : SANE_FALSE, bytesPerLine, width, lines, depth};
}

// Runs a job to its end, cancelling it after cancelAfter (a job that never ends fails, not hangs).
ScanJob::Outcome RunJob(ScanJob& job, std::chrono::milliseconds cancelAfter = 60s) {
  const auto start = std::chrono::steady_clock::now();
  for (job.Start(); !job.Done(); std::this_thread::sleep_for(5ms))
    if (std::chrono::steady_clock::now() - start >= cancelAfter) job.Cancel();
  return job.TakeOutcome();
}

// A whole job; its last page is loaded and every page file removed. SANE's test driver cancels
// its reader thread at the end of every page, which now and then hangs it for good; the job says
// so (see FaultsCancels…) and such a scan is tried once more.
ScanJob::Outcome Scan(const std::string& device, ScanVorlage vorlage, const std::string& options, int dpi, GrayImage* last = nullptr) {
  ScanJob::Outcome outcome;
  for (int tries = 0; tries < 2 && (tries == 0 || outcome.message == ScanJob::kSilentMessage); ++tries) {
    for (const std::string& file : outcome.files) std::remove(file.c_str());
    ScanJob job(ScanRequest{device, vorlage, dpi, options}, 10s);
    outcome = RunJob(job);
  }
  if (last && !outcome.files.empty()) *last = LoadGrayWithStb(outcome.files.back());
  for (const std::string& file : outcome.files) std::remove(file.c_str());
  return outcome;
}

// How many pages, cancelled or not, and the fault.
std::string Summary(const ScanJob::Outcome& o) { return std::to_string(o.files.size()) + (o.cancelled ? " cancelled|" : "|") + o.message; }

struct ScannerJobTest : ::testing::Test {
  void SetUp() override { UseTestScanners(); }
  void TearDown() override { EXPECT_EQ(ScannedFilesLeft(), 0); }
};

} // namespace

// Rows padded beyond their pixels, unknown page lengths, every depth, and colour in one or three
// frames; and pages no one can read (height 0).
TEST(ScanPageAssemblyTest, FramesBecomeTheSamePixels) {
  using Bytes = std::vector<std::uint8_t>;
  const PixelFormat grey = PixelFormat::Gray8, bgr = PixelFormat::Bgr24;
  const SANE_Frame G = SANE_FRAME_GRAY;
  const struct { const char* name; std::vector<SANE_Parameters> frames; std::vector<Bytes> data; PixelFormat format; Bytes pixels;
                 int height; } cases[] = {
      {"grey, padded rows", {Frame(G, 8, 3, 2, 4)}, {{1, 2, 3, 99, 4, 5, 6, 99}}, grey, {1, 2, 3, 4, 5, 6}, 2},
      {"grey, length unknown", {Frame(G, 8, 2, -1, 2)}, {{7, 8, 9, 10, 11, 12, 13}}, grey, {7, 8, 9, 10, 11, 12}, 3},
      {"grey, fewer rows than announced", {Frame(G, 8, 2, 5, 2)}, {{1, 2}}, grey, {1, 2}, 1},
      {"line art, 1 is black", {Frame(G, 1, 10, 1, 2)}, {{0b10100000, 0b01000000}}, grey, {0, 255, 0, 255, 255, 255, 255, 255, 255, 0}, 1},
      {"grey, 16 bits", {Frame(G, 16, 2, 1, 4)}, {{0x34, 0x12, 0xff, 0xab}}, grey, {0x12, 0xab}, 1},
      {"colour", {Frame(SANE_FRAME_RGB, 8, 2, 1, 7)}, {{10, 20, 30, 40, 50, 60, 0}}, bgr, {30, 20, 10, 60, 50, 40}, 1},
      {"colour, three passes",
       {Frame(SANE_FRAME_RED, 8, 2, 1, 2, false), Frame(SANE_FRAME_GREEN, 8, 2, 1, 2, false), Frame(SANE_FRAME_BLUE, 8, 2, 1, 2)},
       {{1, 2}, {3, 4}, {5, 6}}, bgr, {5, 3, 1, 6, 4, 2}, 1},
      {"not one whole row", {Frame(G, 8, 4, 2, 4)}, {{1, 2}}, grey, {}, 0},
  };
  for (const auto& c : cases) {
    ScanPageAssembler assembler;
    for (std::size_t i = 0; i < c.frames.size(); ++i)
      ASSERT_TRUE(assembler.BeginFrame(c.frames[i]) && assembler.Append(c.data[i].data(), c.data[i].size())) << c.name;
    RasterImage page;
    const bool whole = assembler.LastFrameBegun() && assembler.Finish(page);
    EXPECT_EQ(std::tuple(whole, page.format, page.height, Bytes(page.pixels.begin(), page.pixels.end())),
              std::tuple(c.height > 0, c.format, c.height, c.pixels)) << c.name;
  }
  // Rows shorter than their pixels, a depth SANE does not define, no width, wider than any page.
  for (const SANE_Parameters& refused :
       {Frame(G, 8, 100, 1, 99), Frame(G, 12, 10, 1, 20), Frame(G, 8, 0, 1, 0), Frame(G, 8, 60000, 1, 60000)})
    EXPECT_FALSE(ScanPageAssembler().BeginFrame(refused)) << refused.depth << " " << refused.pixels_per_line;
}

// The feeder gives pages until it is empty; the flatbed one a press. Grey unless asked otherwise;
// padded rows and pages of unknown length come out whole; the resolution on a fixed-point range.
TEST_F(ScannerJobTest, FeederAndFlatbedPagesOfEveryShape) {
  const auto side = [](int dpi) { return static_cast<int>(std::lround(200 / 25.4 * dpi)); }; // the whole area, 200 x 200 mm
  const auto near = [](int got, int wanted) { return wanted ? std::abs(got - wanted) <= 1 : got > 0; }; // 0: any size
  const std::string pnmPage = CodePage("Lieferschein 4711 (Seite 1)", 150, UseTestScanners() + "/page.pgm");
  const auto flat = ScanVorlage::Flachbett;
  const struct { const char* device; ScanVorlage vorlage; std::string options; int dpi; std::size_t pages; int width, height;
                 const char* code; } cases[] = {
      {"pnm:0", flat, "filename=" + pnmPage, 0, 1, static_cast<int>(210 / 25.4 * 150), 0, "Lieferschein 4711 (Seite 1)"},
      {"test:0", ScanVorlage::Einzug, "test-picture=Grid", 100, 10, side(100), side(100), nullptr},
      {"test:0", flat, "ppl-loss=7", 100, 1, side(100) - 7, side(100), nullptr},
      {"test:0", flat, "hand-scanner=yes", 100, 1, 0, 0, nullptr}, // its length known only at the end
      {"test:0", flat, "mode=Color;test-picture=Color pattern", 100, 1, side(100), side(100), nullptr},
      {"test:0", flat, "", 75, 1, side(75), 0, nullptr}, {"test:0", flat, "", 150, 1, side(150), 0, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options + " at " + std::to_string(c.dpi));
    GrayImage page;
    ASSERT_EQ(Summary(Scan(c.device, c.vorlage, c.options, c.dpi, &page)), std::to_string(c.pages) + "|");
    EXPECT_TRUE(near(page.width, c.width) && near(page.height, c.height)) << page.width << " x " << page.height;
    if (c.code) { EXPECT_EQ(ReadWithZXing(page).at(0).text, c.code); }
  }
  // pnm: a list of integers, the nearest taken; its pages keep the file's size, so only the option shows it.
  SaneSession session;
  SaneScanner pnm;
  ASSERT_EQ(session.Status() + pnm.Open("pnm:0"), SANE_STATUS_GOOD);
  for (const auto& [wanted, taken] : {std::pair{200, 200}, {600, 300}, {80, 75}, {0, 75}})
    EXPECT_EQ(pnm.Configure(ScanRequest{"pnm:0", flat, wanted, ""}) == SANE_STATUS_GOOD ? pnm.GetNumber("resolution") : -1, taken);
}

TEST_F(ScannerJobTest, FaultsCancelsAndDroppedJobsEndWithTheirMessageAndLeaveNothing) {
  // At 300 dpi the test driver's reader is still busy when the fault comes; stopping it then can
  // leave the driver hung, which must cost neither the message nor the next scan.
  // A fault without a message of its own says SANE's (ScannerPageTest tells those with one, and of no scanner).
  EXPECT_EQ(Summary(Scan("test:0", ScanVorlage::Einzug, "read-return-value=SANE_STATUS_INVAL", 300)),
            "0|Fehler beim Scannen: Invalid argument");
  // A device that is gone: the first one there stands in.
  UseTestScanners("test\n");
  const ScanJob::Outcome outcome = Scan("gone:0", ScanVorlage::Flachbett, "", 0);
  EXPECT_EQ(outcome.device + " " + Summary(outcome), "test:0 1|");
  ASSERT_EQ(outcome.scanners.size(), 2u);
  EXPECT_EQ(outcome.scanners[0].label, "Noname frontend-tester (test:0)");
  EXPECT_TRUE(outcome.scanners[0].flatbed && outcome.scanners[0].feeder && !outcome.scanners[0].duplex);

  // Cancelled and dropped jobs end within a second and leave nothing.
  const ScanRequest slow{"test:0", ScanVorlage::Einzug, 300,
                         "read-limit=yes;read-limit-size=1000;read-delay=yes;read-delay-duration=200000"};
  const auto start = std::chrono::steady_clock::now();
  ScanJob job(slow);
  EXPECT_EQ(Summary(RunJob(job, 400ms)), "0 cancelled|");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1400ms);
  int whileThere = 0;
  for (int tries = 0; tries < 2 && whileThere != 1; ++tries) { // once more if the driver hung (see Scan)
    ScanJob done(ScanRequest{"test:0", ScanVorlage::Flachbett, 50, ""}, 10s);
    for (done.Start(); !done.Done();) std::this_thread::sleep_for(5ms);
    whileThere = ScannedFilesLeft();
  }
  EXPECT_EQ(whileThere, 1);
  EXPECT_EQ(ScannedFilesLeft(), 0) << "pages nobody took go with the job";
  const auto threads = [] { return std::distance(std::filesystem::directory_iterator("/proc/self/task"), {}); };
  const auto before = threads();
  { ScanJob dropped(slow); dropped.Start(), std::this_thread::sleep_for(200ms); }
  // A joined worker's task may outlive the join by microseconds; a detached one runs for milliseconds.
  for (int i = 0; i < 5 && threads() > before; ++i) std::this_thread::sleep_for(100us);
  EXPECT_LE(threads(), before) << "a job dropped while scanning waits for its worker";

  // A driver that never comes back (pnm opening a pipe nobody writes to) is given up on.
  const std::string pipe = UseTestScanners() + "/never";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  ScanJob silent(ScanRequest{"pnm:0", ScanVorlage::Flachbett, 0, "filename=" + pipe}, 300ms);
  EXPECT_EQ(Summary(RunJob(silent)), std::string("0|") + ScanJob::kSilentMessage);
  std::remove(pipe.c_str());
}

// A burst written as text: "\n" Enter, "\t" Tab, "\x1b" Escape (a navigation key), "^" Shift; each
// followed by the idle period. A key that comes alone is a person's and goes back to the window.
TEST(ScannerKeystrokesTest, BurstsBecomeTextsLoneKeysGoBackToTheWindow) {
  using Kind = ScannerKey::Kind;
  const auto key = [](char c) { return c == '\n' ? ScannerKey{Kind::End, "", 13} : c == '\t' ? ScannerKey{Kind::Tab, "", 9}
                                     : c == '\x1b' ? ScannerKey{Kind::Other, "", 27} : c == '^' ? ScannerKey{Kind::Modifier, "", 306}
                                     : ScannerKey{Kind::Text, std::string(1, c), c}; };
  // What the window gets back: its key code and '#'.
  const struct { std::vector<std::string> bursts, got; } cases[] = {
      {{"a(b c)d [e]\n"}, {"a(b c)d [e]"}},   // '(' and blanks are text, not end keys
      {{"abc\n  "}, {"abc"}},                   // blanks after the end key are padding
      {{"abc\ndef\n"}, {"abc", "def"}},        // two codes in one burst, in order
      {{"a\tb\t"}, {"a\tb"}},                   // a tab inside is text, a trailing one ends
      {{"ab\x1b" "c"}, {"abc"}},                // a navigation key inside a burst is the scanner's
      {{"\t", "^\t", "\x1b", "x"}, {"9#", "9#", "27#", "120#"}}, // alone, even after a modifier: the window's
      {{"abc", "def\n"}, {"abc", "def"}},      // an idle period ends a text too
  };
  for (const auto& c : cases) {
    ScannerKeystrokes keystrokes;
    std::vector<std::string> got;
    for (const std::string& burst : c.bursts) {
      for (char typed : burst) EXPECT_EQ(keystrokes.Press(key(typed)), typed != '^') << burst;
      ScannerKeystrokes::Idle idle = keystrokes.OnIdle();
      got.insert(got.end(), idle.texts.begin(), idle.texts.end());
      if (idle.keyForWindow) got.push_back(std::to_string(idle.keyForWindow->keyCode) + "#");
    }
    EXPECT_EQ(got, c.got) << c.bursts[0];
  }
  // The release of a taken key is taken too, until a new burst (braces keep the order of the calls).
  ScannerKeystrokes keystrokes;
  keystrokes.Press(key('a')), keystrokes.Press(key('\n'));
  EXPECT_EQ(std::vector<bool>({keystrokes.TakesRelease(key('\n')), keystrokes.TakesRelease(key('^')),
                               keystrokes.TakesRelease({Kind::Other, "", 366}), (keystrokes.OnIdle(), keystrokes.TakesRelease(key('\n')))}),
            std::vector<bool>({true, false, false, false}));
}
