// Result lists: ownership, copies, reading a decoder's handle, and the message text.
#include "TestPictures.h"
#include "config/QRCodeKonfiguration.h"
#include "decode/DecodeResultArray.h"
#include "decode/SubDlgDecode.h"
#include "decode/SubDlgDecode_ZBar.h"
#include "decode/SubDlgDecode_ZXING.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace {

// Counts its live instances, so tests see exactly what an owning list deletes.
struct Tracked {
  static inline int alive = 0;
  explicit Tracked(int v) : value(v) { ++alive; }
  ~Tracked() { --alive; }
  int value;
};

struct ScriptedResult {
  std::string text, symbol;
  std::vector<POINT> points;
};

// A decoder whose handle holds results the test chose; it remembers what was asked and freed.
class ScriptedDecoder : public CSubDlgDecode {
public:
  std::vector<ScriptedResult> results;
  int freed = 0;
  bool giveHandle = true;
  bool brokenPointCount = false;

  void* DecodeImage(const char*, T_DecodeImageSource) override { return giveHandle ? this : nullptr; }
  int GetDecodeResultCount(void*) override { return static_cast<int>(results.size()); }
  int GetDecodeResultName(void*, int i, char* buffer, int size) override {
    return Copy(results[static_cast<size_t>(i)].text, buffer, size);
  }
  int GetDecodeResultSymbol(void*, int i, char* buffer, int size) override {
    return Copy(results[static_cast<size_t>(i)].symbol, buffer, size);
  }
  int GetDecodeResultPointArray(void*, int i, POINT* points, int max) override {
    const auto& p = results[static_cast<size_t>(i)].points;
    const int n = std::min<int>(max, static_cast<int>(p.size()));
    std::copy_n(p.begin(), n, points);
    return brokenPointCount ? -1 : n;
  }
  void FreeDecodeResult(void*) override { ++freed; }

private:
  // As the back ends do: what fits, and the length of the whole text.
  static int Copy(const std::string& s, char* buffer, int size) {
    const int n = std::min<int>(size - 1, static_cast<int>(s.size()));
    std::memcpy(buffer, s.data(), static_cast<size_t>(n));
    buffer[n] = '\0';
    return static_cast<int>(s.size());
  }
};

CArray<POINT, POINT> Points(std::initializer_list<POINT> list) {
  CArray<POINT, POINT> points;
  for (const POINT& p : list) points.Add(p);
  return points;
}

} // namespace

TEST(DTemplateArrayTest, OwningArrayDeletesWhatItClearsAndWhatItHolds) {
  {
    CDTemplateArray<Tracked> list(1);
    for (int i = 0; i < 5; ++i) list.Add(new Tracked(i));
    list.Add(nullptr); // skipped by Clear and ForEach
    list.Clear(2);
    EXPECT_EQ(list.GetSize(), 2);
    EXPECT_EQ(Tracked::alive, 2);
    list.Clear(9); // beyond the end: nothing happens
    EXPECT_EQ(list.GetSize(), 2);
  }
  EXPECT_EQ(Tracked::alive, 0);

  Tracked a(1), b(2);
  {
    CDTemplateArray<Tracked> borrowed(0);
    borrowed.Add(&a);
    borrowed.Clear(0);
    EXPECT_EQ(borrowed.GetSize(), 0);
    borrowed.Add(&b);
  }
  EXPECT_EQ(Tracked::alive, 2); // a list that does not own deletes nothing
}

TEST(DTemplateArrayTest, SearchReverseAndVisit) {
  CDTemplateArray<Tracked> list(1);
  Tracked* a = new Tracked(1);
  Tracked* b = new Tracked(1); // equal content, different object
  list.AddIfNotExist(a);
  list.AddIfNotExist(a);
  list.AddIfNotExist(b);
  list.Add(new Tracked(3));
  EXPECT_EQ(list.GetSize(), 3);
  EXPECT_EQ(list.GetIndex(b), 1);
  EXPECT_EQ(list.GetIndex(&list), -1);
  list.ArrayUmkehren();
  EXPECT_EQ(list[0]->value, 3);
  EXPECT_EQ(list[2], a);

  int visits = 0;
  list.ForEach([&](Tracked* t) {
    if (++visits == 1) list.Add(new Tracked(t->value + 10)); // appended while visiting: visited too
  });
  EXPECT_EQ(visits, 4);
  CDTemplateArray<Tracked> one(1);
  one.ArrayUmkehren();
  EXPECT_THROW(list.GetAt(4), std::invalid_argument);
}

TEST(DecodeResultArrayTest, CopiesAreDeepAndAssignmentKeepsOwnership) {
  CDecodeResultArray source(1);
  auto points = Points({{1, 2}, {3, 4}});
  source.AddDecodeResult("A", "QRCode", points);
  source.AddDecodeResult("B", "EAN-13", points);

  CDecodeResultArray copy(source);
  EXPECT_EQ(copy.m_bOwnsItems, 1);
  ASSERT_EQ(copy.GetSize(), 2);
  EXPECT_NE(copy[0], source[0]);
  copy[0]->m_strText = "changed";
  EXPECT_EQ(source[0]->m_strText, "A");
  EXPECT_EQ(copy[1]->m_arPoints.GetSize(), 2);

  copy = copy; // self-assignment changes nothing
  EXPECT_EQ(copy.GetSize(), 2);
  EXPECT_EQ(copy[0]->m_strText, "changed");

  CDecodeResultArray borrowed(0);
  borrowed.Add(source[1]);
  CDecodeResultArray owning(1);
  owning.AddDecodeResult("old", "x", points);
  owning = borrowed;
  ASSERT_EQ(owning.GetSize(), 1);
  EXPECT_NE(owning[0], source[1]);
  EXPECT_EQ(owning[0]->m_strText, "B");
  EXPECT_EQ(owning.m_bOwnsItems, 1);
  borrowed.RemoveAll(); // it never owned source's result
}

TEST(DecodeResultArrayTest, MessageTextJoinsResultsWithOrWithoutSymbols) {
  CDecodeResultArray results;
  EXPECT_EQ(results.GetMessageText(true), "");
  CArray<POINT, POINT> none;
  results.AddDecodeResult("A", "QRCode", none);
  results.AddDecodeResult("B", "EAN-13", none);
  EXPECT_EQ(results.GetMessageText(false), "A\nB");
  EXPECT_EQ(results.GetMessageText(true), "QRCode: A\nEAN-13: B");
}

TEST(DecodeResultArrayTest, ReadingAHandleTakesEveryResultAndLeavesTheHandleAlone) {
  ScriptedDecoder decoder;
  decoder.results = {{"zwei Punkte", "QRCode", {{1, 1}, {9, 9}}}, {"keine", "Tastatur", {}}};
  CDecodeResultArray results;
  CArray<POINT, POINT> none;
  results.AddDecodeResult("schon da", "x", none);
  results.AddDecodeResult(decoder, &decoder);
  ASSERT_EQ(results.GetSize(), 3); // what was there stays
  EXPECT_EQ(results[1]->m_arPoints.GetSize(), 2);
  EXPECT_EQ(results[2]->m_arPoints.GetSize(), 0);
  EXPECT_EQ(decoder.freed, 0);
  results.AddDecodeResult(decoder, nullptr);
  EXPECT_EQ(results.GetSize(), 3);
  decoder.brokenPointCount = true; // a back end reporting -1 points is a broken contract
  EXPECT_THROW(results.AddDecodeResult(decoder, &decoder), std::invalid_argument);
}

TEST(DecodeResultArrayTest, PageOperationsFreeOnlyWhenAsked) {
  ScriptedDecoder decoder;
  CDecodeResultArray results;
  EXPECT_TRUE(decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei)); // zero results, still true
  EXPECT_EQ(results.GetSize(), 0);
  EXPECT_EQ(decoder.freed, 1);

  decoder.results = {{"eins", "QRCode", {}}};
  EXPECT_TRUE(decoder.GetDecodedImageTextFromResult(&decoder, results, false));
  EXPECT_EQ(decoder.freed, 1);
  EXPECT_EQ(results.GetSize(), 1);
  EXPECT_FALSE(decoder.GetDecodedImageTextFromResult(nullptr, results, true));

  decoder.giveHandle = false;
  EXPECT_FALSE(decoder.GetDecodedImageText("any.bmp", results, T_DecodeImageSource_Datei));
  EXPECT_EQ(results.GetSize(), 1);
  EXPECT_EQ(decoder.freed, 1);
}

TEST(DecodeResultArrayTest, ALongTextIsAskedForAgainWithTheLengthTheBackEndNeeds) {
  ScriptedDecoder decoder;
  decoder.results = {{std::string(999, 'a'), "QRCode", {}}, {std::string(1000, 'b'), std::string(1200, 's'), {}}};
  CDecodeResultArray results;
  results.AddDecodeResult(decoder, &decoder);
  ASSERT_EQ(results.GetSize(), 2);
  EXPECT_EQ(results[0]->m_strText.str(), decoder.results[0].text);
  EXPECT_EQ(results[1]->m_strText.str(), decoder.results[1].text);
  EXPECT_EQ(results[1]->m_strSymbol.str(), decoder.results[1].symbol);
}

// As much as a QR code holds: 2953 bytes, version 40, from both encoders and read by both decoders,
// through the pages that hosts use.
TEST(DecodePageTest, AVersion40CodeArrivesWholeAndTheSettingsPickTheDecoder) {
  std::string text;
  for (int line = 0; text.size() < 2953; ++line) text += "Zeile " + std::to_string(line) + ": alles, was hineinpasst\n";
  text.resize(2953);
  const auto path = std::filesystem::temp_directory_path() / ("codewerk-long-" + std::to_string(getpid()) + ".png");
  for (TestEncoder encoder : {TestEncoder::QREncode, TestEncoder::ZInt}) {
    ASSERT_TRUE(SavePng(WithQuietZone(RenderCode(text, 3, encoder), 12), path.string()));
    for (int decoderValue : {0, 1, 2}) {
      GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(decoderValue);
      std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
      CDecodeResultArray results;
      ASSERT_TRUE(page->GetDecodedImageText(path.c_str(), results, T_DecodeImageSource_Scanner)) << decoderValue;
      ASSERT_EQ(results.GetSize(), 1);
      EXPECT_EQ(results[0]->m_strText.str(), text) << "decoder " << decoderValue << ", encoder " << int(encoder);
    }
  }
  GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(3); // outside the enumeration
  std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
  EXPECT_NE(dynamic_cast<CSubDlgDecode_ZBar*>(page.get()), nullptr);
  for (T_QRCodeKonfiguration_Decoder value : {Decoder_ZXingZBar, Decoder_ZXing}) {
    GetQRCodeKonfiguration().m_eDecoder = value;
    page.reset(CreateCurrentDecoder());
    EXPECT_NE(dynamic_cast<CSubDlgDecode_ZXING*>(page.get()), nullptr) << value;
  }
  EXPECT_FALSE(page->HasWindow());
  std::filesystem::remove(path);
}
