// Scanning through SANE without a window: pages as devices deliver them, and whole jobs on SANE's
// own pnm and test devices — a code through pnm, feeder batches, faults, cancelling.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "TestScanners.h"
#include "tqscan/ScanJob.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <unistd.h>

namespace {

SANE_Parameters Frame(SANE_Frame format, int depth, int width, int lines, int bytesPerLine, bool last = true) {
  SANE_Parameters p{};
  p.format = format;
  p.last_frame = last ? SANE_TRUE : SANE_FALSE;
  p.depth = depth;
  p.pixels_per_line = width;
  p.lines = lines;
  p.bytes_per_line = bytesPerLine;
  return p;
}

// Runs a job to its end on this thread's clock; the outcome.
ScanJob::Outcome RunJob(ScanJob& job, std::chrono::milliseconds cancelAfter = std::chrono::hours(1)) {
  const auto start = std::chrono::steady_clock::now();
  job.Start();
  while (!job.Done()) {
    if (std::chrono::steady_clock::now() - start >= cancelAfter) job.Cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return job.TakeOutcome();
}

ScanJob::Outcome Scan(const std::string& device, ScanVorlage vorlage, const std::string& options, int dpi = 0) {
  ScanJob job(ScanRequest{device, vorlage, dpi, options});
  return RunJob(job);
}

GrayImage PageOf(const std::string& file) { return LoadGrayWithStb(file); }

void RemoveAll(const ScanJob::Outcome& outcome) {
  for (const std::string& file : outcome.files) std::remove(file.c_str());
}

class ScannerJobTest : public ::testing::Test {
protected:
  void SetUp() override { UseTestScanners(); }
  void TearDown() override { EXPECT_EQ(ScannedFilesLeft(), 0); }
};

} // namespace

// Rows padded beyond their pixels, unknown page lengths, every depth, and colour in one or three frames.
TEST(ScannerPageTest, FramesBecomeTheSamePixels) {
  struct Case {
    const char* name;
    std::vector<SANE_Parameters> frames;
    std::vector<std::vector<std::uint8_t>> data;
    PixelFormat format;
    std::vector<std::uint8_t> pixels;
    int height;
  };
  const Case cases[] = {
      {"grey, padded rows", {Frame(SANE_FRAME_GRAY, 8, 3, 2, 4)}, {{1, 2, 3, 99, 4, 5, 6, 99}}, PixelFormat::Gray8, {1, 2, 3, 4, 5, 6}, 2},
      {"grey, length unknown", {Frame(SANE_FRAME_GRAY, 8, 2, -1, 2)}, {{7, 8, 9, 10, 11, 12, 13}}, PixelFormat::Gray8, {7, 8, 9, 10, 11, 12}, 3},
      {"grey, fewer rows than announced", {Frame(SANE_FRAME_GRAY, 8, 2, 5, 2)}, {{1, 2}}, PixelFormat::Gray8, {1, 2}, 1},
      {"line art, 1 is black", {Frame(SANE_FRAME_GRAY, 1, 10, 1, 2)}, {{0b10100000, 0b01000000}}, PixelFormat::Gray8,
       {0, 255, 0, 255, 255, 255, 255, 255, 255, 0}, 1},
      {"grey, 16 bits", {Frame(SANE_FRAME_GRAY, 16, 2, 1, 4)}, {{0x34, 0x12, 0xff, 0xab}}, PixelFormat::Gray8, {0x12, 0xab}, 1},
      {"colour, interleaved", {Frame(SANE_FRAME_RGB, 8, 2, 1, 7)}, {{10, 20, 30, 40, 50, 60, 0}}, PixelFormat::Bgr24,
       {30, 20, 10, 60, 50, 40}, 1},
      {"colour, three passes",
       {Frame(SANE_FRAME_RED, 8, 2, 1, 2, false), Frame(SANE_FRAME_GREEN, 8, 2, 1, 2, false), Frame(SANE_FRAME_BLUE, 8, 2, 1, 2)},
       {{1, 2}, {3, 4}, {5, 6}}, PixelFormat::Bgr24, {5, 3, 1, 6, 4, 2}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScanPageAssembler assembler;
    for (std::size_t i = 0; i < c.frames.size(); ++i) {
      ASSERT_TRUE(assembler.BeginFrame(c.frames[i]));
      ASSERT_TRUE(assembler.Append(c.data[i].data(), c.data[i].size()));
    }
    EXPECT_TRUE(assembler.LastFrameBegun());
    RasterImage page;
    ASSERT_TRUE(assembler.Finish(page));
    EXPECT_EQ(page.format, c.format);
    EXPECT_EQ(page.height, c.height);
    EXPECT_EQ(std::vector<std::uint8_t>(page.pixels.begin(), page.pixels.end()), c.pixels);
  }
}

TEST(ScannerPageTest, PagesNoOneCanReadAreRefused) {
  ScanPageAssembler assembler;
  EXPECT_FALSE(assembler.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 100, 1, 99))) << "rows shorter than their pixels";
  EXPECT_FALSE(assembler.BeginFrame(Frame(SANE_FRAME_GRAY, 12, 10, 1, 20))) << "a depth SANE does not define";
  EXPECT_FALSE(assembler.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 0, 1, 0)));
  EXPECT_FALSE(assembler.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 60000, 1, 60000))) << "wider than any page";
  ASSERT_TRUE(assembler.BeginFrame(Frame(SANE_FRAME_GRAY, 8, 4, 2, 4)));
  const std::uint8_t halfRow[] = {1, 2};
  assembler.Append(halfRow, sizeof halfRow);
  RasterImage page;
  EXPECT_FALSE(assembler.Finish(page)) << "not one whole row";
}

TEST(ScannerPageTest, SourceNamesOfCommonDevices) {
  const std::pair<const char*, int> names[] = {
      {"Flatbed", 0}, {"Automatic Document Feeder", 1}, {"ADF Front", 1}, {"ADF Duplex", 2}, {"Document Feeder", 1},
      {"Duplex", 2}, {"Transparency Adapter", -1}, {"Normal", 0}};
  for (const auto& [name, kind] : names) EXPECT_EQ(ClassifySource(name), kind) << name;
}

TEST_F(ScannerJobTest, ACodeScannedThroughPnmReadsBack) {
  const std::string file = CodePage("Lieferschein 4711 (Seite 1)", 150, UseTestScanners() + "/page.pgm");
  const ScanJob::Outcome outcome = Scan("pnm:0", ScanVorlage::Flachbett, "filename=" + file);
  ASSERT_EQ(outcome.files.size(), 1u) << outcome.message;
  EXPECT_EQ(outcome.message, "");
  const GrayImage page = PageOf(outcome.files[0]);
  EXPECT_EQ(page.width, static_cast<int>(210 / 25.4 * 150));
  const auto codes = ReadWithZXing(page);
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "Lieferschein 4711 (Seite 1)");
  RemoveAll(outcome);
}

// The feeder gives pages until it is empty; the flatbed one a press. Grey unless asked otherwise;
// padded rows and pages of unknown length come out whole.
TEST_F(ScannerJobTest, FeederAndFlatbedPagesOfEveryShape) {
  struct Case {
    ScanVorlage vorlage;
    const char* options;
    std::size_t pages;
    int width, height; // at 100 dpi over the whole area (200 x 200 mm)
  };
  const int side = static_cast<int>(std::lround(200 / 25.4 * 100));
  const Case cases[] = {
      {ScanVorlage::Flachbett, "test-picture=Solid white", 1, side, side},
      {ScanVorlage::Einzug, "test-picture=Grid", 10, side, side},
      {ScanVorlage::Flachbett, "ppl-loss=7", 1, side - 7, side},
      {ScanVorlage::Flachbett, "hand-scanner=yes", 1, 0, 0}, // 11 cm wide, its length known only at the end
      {ScanVorlage::Flachbett, "mode=Color;test-picture=Color pattern", 1, side, side},
      {ScanVorlage::Flachbett, "depth=1", 1, side, side},
      {ScanVorlage::Flachbett, "depth=16", 1, side, side},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.options);
    const ScanJob::Outcome outcome = Scan("test:0", c.vorlage, c.options, 100);
    ASSERT_EQ(outcome.files.size(), c.pages) << outcome.message;
    EXPECT_EQ(outcome.message, "");
    const GrayImage page = PageOf(outcome.files.back());
    if (c.width) { EXPECT_NEAR(page.width, c.width, 1); }
    if (c.height) { EXPECT_NEAR(page.height, c.height, 1); }
    EXPECT_GT(page.height, 0);
    RemoveAll(outcome);
  }
}

TEST_F(ScannerJobTest, ResolutionOnFixedAndIntegerOptions) {
  // test: a fixed-point range; pnm: a list of integers, the nearest taken. pnm pages keep the
  // file's size, so its resolution shows in the job's page only through the option itself.
  for (int dpi : {75, 150}) {
    const ScanJob::Outcome outcome = Scan("test:0", ScanVorlage::Flachbett, "", dpi);
    ASSERT_EQ(outcome.files.size(), 1u) << outcome.message;
    EXPECT_NEAR(PageOf(outcome.files[0]).width, 200 / 25.4 * dpi, 1);
    RemoveAll(outcome);
  }
  SaneSession session;
  ASSERT_EQ(session.Status(), SANE_STATUS_GOOD);
  SaneScanner pnm;
  ASSERT_EQ(pnm.Open("pnm:0"), SANE_STATUS_GOOD);
  for (const auto& [wanted, taken] : {std::pair{200, 200}, {600, 300}, {80, 75}, {0, 75}}) {
    ASSERT_EQ(pnm.Configure(ScanRequest{"pnm:0", ScanVorlage::Flachbett, wanted, ""}), SANE_STATUS_GOOD);
    EXPECT_EQ(pnm.GetNumber("resolution"), taken) << wanted;
  }
}

TEST_F(ScannerJobTest, EachFaultHasItsMessageAndLeavesNothing) {
  const std::pair<const char*, const char*> faults[] = {
      {"SANE_STATUS_DEVICE_BUSY", "Der Scanner wird gerade benutzt."},
      {"SANE_STATUS_JAMMED", "Papierstau im Einzug."},
      {"SANE_STATUS_COVER_OPEN", "Die Abdeckung des Scanners ist offen."},
      {"SANE_STATUS_NO_DOCS", "Im Einzug liegt kein Papier."},
      {"SANE_STATUS_IO_ERROR", "Der Scanner meldet einen Ein-/Ausgabefehler."},
      {"SANE_STATUS_ACCESS_DENIED", "Kein Zugriff auf den Scanner."},
      {"SANE_STATUS_NO_MEM", "Dem Scanner fehlt Speicher."},
      {"SANE_STATUS_INVAL", "Fehler beim Scannen: Invalid argument"},
  };
  // At 300 dpi the test driver's reader is still busy when the fault comes; stopping it then can
  // leave the driver hung, which must cost neither the message nor the next scan.
  for (const auto& [status, message] : faults) {
    const ScanJob::Outcome outcome = Scan("test:0", ScanVorlage::Einzug, std::string("read-return-value=") + status, 300);
    EXPECT_EQ(outcome.message, message);
    EXPECT_TRUE(outcome.files.empty());
  }
}

TEST_F(ScannerJobTest, NoScannerAtAllAndAMissingDeviceStoodInFor) {
  UseTestScanners("");
  ScanJob::Outcome outcome = Scan("", ScanVorlage::Flachbett, "");
  EXPECT_EQ(outcome.message, "Es wurde kein Scanner gefunden.");
  EXPECT_TRUE(outcome.files.empty());

  UseTestScanners("test\n");
  outcome = Scan("gone:0", ScanVorlage::Flachbett, "");
  EXPECT_EQ(outcome.device, "test:0");
  ASSERT_EQ(outcome.files.size(), 1u) << outcome.message;
  ASSERT_EQ(outcome.scanners.size(), 2u);
  EXPECT_EQ(outcome.scanners[0].label, "Noname frontend-tester (test:0)");
  EXPECT_TRUE(outcome.scanners[0].flatbed && outcome.scanners[0].feeder && !outcome.scanners[0].duplex);
  RemoveAll(outcome);
}

TEST_F(ScannerJobTest, CancelDuringASlowReadEndsWithinASecondAndLeavesNothing) {
  ScanJob job(ScanRequest{"test:0", ScanVorlage::Einzug, 300,
                          "read-limit=yes;read-limit-size=1000;read-delay=yes;read-delay-duration=200000"});
  const auto start = std::chrono::steady_clock::now();
  const ScanJob::Outcome outcome = RunJob(job, std::chrono::milliseconds(400));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1400));
  EXPECT_TRUE(outcome.cancelled);
  EXPECT_TRUE(outcome.files.empty());
  EXPECT_EQ(outcome.message, "");
}

TEST_F(ScannerJobTest, PagesNobodyTookGoWithTheJob) {
  {
    ScanJob job(ScanRequest{"test:0", ScanVorlage::Einzug, 50, ""});
    job.Start();
    while (!job.Done()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ScannedFilesLeft(), 10);
  }
  // TearDown: none left.
}
