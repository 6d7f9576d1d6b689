// The host read-in: texts offered to the host's actions in order, the page's handlers given back,
// the caption of a single source, the bitmaps of a read.
#include "TestPictures.h"
#include "UiTesting.h"
#include "outside/GlobalMemory.h"
#include "outside/Grafik.h"
#include "outside/MessageBox.h"
#include "results/QRCodeEinlesen.h"
#include "sources/DecodeGrafikResult.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

CDecodeResultArray Results(std::initializer_list<const char*> texts) {
  CDecodeResultArray results;
  CArray<POINT, POINT> none;
  for (const char* text : texts) results.AddDecodeResult(text, "QRCode", none);
  return results;
}

// An action that records what it was offered and takes only `wanted`.
void AddRecorder(CQRCodeActionBaseArray& actions, std::vector<std::string>& offered, const std::string& wanted,
                 int* bitmapsSeen = nullptr) {
  actions.Add([&offered, wanted, bitmapsSeen](const CString& text, CArray<void*, void*>& bitmaps) {
    offered.push_back(text.str());
    if (bitmapsSeen) *bitmapsSeen = bitmaps.GetSize();
    return text.str() == wanted;
  });
}

CDIBGrafik* Picture(bool withBitmap) {
  auto* graphic = new CDIBGrafik();
  if (withBitmap) graphic->SetDib(GlobalAlloc(GMEM_MOVEABLE, 64));
  return graphic;
}

class HostReadInTest : public ::testing::Test {
protected:
  void SetUp() override { RememberSource("2D Scanner"); }
  std::unique_ptr<CSubDlgDecode> m_page{CreateCurrentDecoder()};
};

} // namespace

TEST_F(HostReadInTest, TextsAreOfferedInOrderUntilOneIsTakenAndTheDialogEnds) {
  CQRCodeActionBaseArray actions;
  std::vector<std::string> first, second;
  AddRecorder(actions, first, "nie");
  AddRecorder(actions, second, "zwei");
  CQRCodeEinlesen einlesen(*m_page, actions, nullptr);
  std::string caption;
  WhenModalShown([&](wxWindow* dialog) {
    caption = dialog->GetLabel().utf8_string();
    const CDecodeResultArray results = Results({"eins", "zwei", "drei"});
    CDTemplateArray<CDecodeGrafikResult> images;
    m_page->OnQRCodeDecoded(results, images);
  });
  einlesen.DoQRCodeEinlesen(); // returns only when the dialog ended
  EXPECT_EQ(caption, "QR Code");
  EXPECT_EQ(first, (std::vector<std::string>{"eins", "zwei"}));
  EXPECT_EQ(second, (std::vector<std::string>{"eins", "zwei"})) << "the first taker ends the offers";
  ASSERT_NE(m_page->GetParent(), nullptr) << "kept for its owner, who deletes it";
  EXPECT_FALSE(dynamic_cast<wxDialog*>(m_page->GetParent())) << "not left in the dialog that went";
  EXPECT_FALSE(m_page->GetParent()->IsShown());
}

TEST_F(HostReadInTest, AScannersKeysReachTheActionsWithoutBitmapsAndOneSourceNamesTheDialog) {
  m_page->m_bShowWebCam = m_page->m_bShowScanner = m_page->m_bShowDatei = false;
  m_page->m_bShowBildschirm = m_page->m_bShowZwischenablage = false;
  CQRCodeActionBaseArray actions;
  std::vector<std::string> offered;
  int bitmaps = -1;
  AddRecorder(actions, offered, "Lieferschein 4711", &bitmaps);
  CQRCodeEinlesen einlesen(*m_page, actions, nullptr);
  std::string caption;
  WhenModalShown([&](wxWindow* dialog) {
    caption = dialog->GetLabel().utf8_string();
    Pump(200);
    TypeText("Lieferschein 4711\n");
  });
  einlesen.DoQRCodeEinlesen();
  EXPECT_EQ(caption, "2D Scanner");
  EXPECT_EQ(offered, std::vector<std::string>{"Lieferschein 4711"});
  EXPECT_EQ(bitmaps, 0);
}

TEST_F(HostReadInTest, ThePagesHandlersComeBackWithOrWithoutANotFoundHandlerOfTheHost) {
  int pageDecoded = 0, pageNotFound = 0, hostNotFound = 0;
  m_page->m_fnOnDecoded = [&](const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*) { return ++pageDecoded, true; };
  m_page->m_fnOnNotFound = [&](const CDTemplateArray<CDecodeGrafikResult>*) { return ++pageNotFound, true; };
  CQRCodeActionBaseArray actions;
  for (const bool withHost : {false, true}) {
    SCOPED_TRACE(withHost);
    {
      std::function<bool(const CDTemplateArray<CDecodeGrafikResult>*)> host;
      if (withHost) host = [&](const CDTemplateArray<CDecodeGrafikResult>*) { return ++hostNotFound, true; };
      CQRCodeEinlesen einlesen(*m_page, actions, host);
      m_page->m_fnOnDecoded(nullptr, nullptr); // now the read-in's: refuses a missing result list
      m_page->m_fnOnNotFound(nullptr);
    }
    m_page->m_fnOnDecoded(nullptr, nullptr);
    m_page->m_fnOnNotFound(nullptr);
  }
  EXPECT_EQ(pageDecoded, 2);
  EXPECT_EQ(pageNotFound, 3) << "left alone without a host handler, given back with one";
  EXPECT_EQ(hostNotFound, 1);
}

TEST(HostReadInBitmapsTest, OnlyPicturesWithABitmapCountAndTheListIsAppendedTo) {
  CDTemplateArray<CDecodeGrafikResult> images;
  images.Add(new CDecodeGrafikResult(Picture(true), Results({"a"})));
  images.Add(new CDecodeGrafikResult(Picture(false), Results({})));
  images.Add(new CDecodeGrafikResult(nullptr, Results({})));
  images.Add(nullptr);
  images.Add(new CDecodeGrafikResult(Picture(true), Results({})));
  CArray<void*, void*> dibs;
  dibs.Add(nullptr); // the host's own entry stays first
  GetDibHandleArray(&images, dibs);
  GetDibHandleArray(nullptr, dibs);
  ASSERT_EQ(dibs.GetSize(), 3);
  EXPECT_EQ(dibs[1], static_cast<CDIBGrafik*>(images[0]->m_pGrafik)->GetDib());
  EXPECT_EQ(dibs[2], static_cast<CDIBGrafik*>(images[4]->m_pGrafik)->GetDib());
}

// The shell command: a scanner's keys give a JSON line and 0; closing without a read gives 1.
TEST(HostReadInCommandTest, CodewerkReadPrintsTheFirstReadOrEndsWithOneWhenClosed) {
  const std::string out = (std::filesystem::temp_directory_path() / ("codewerk-read-" + std::to_string(getpid()))).string();
  const char* config = getenv("XDG_CONFIG_HOME");
  const std::string read = std::string("XDG_CONFIG_HOME='") + (config ? config : "/tmp") + "' " + CODEWERK_APP +
                           " read --json --source '2D Scanner' > " + out + " & ";
  // Without a window manager the keys go where the pointer is.
  const std::string window = "w=\\$(xdotool search --sync --onlyvisible --name '^2D Scanner$' | head -1); "
                             "xdotool mousemove --window \\$w 40 40; sleep 0.3; ";
  const struct {
    const char* keys;
    int status;
    const char* printed;
  } cases[] = {
      {"xdotool type --delay 5 'a(b c)d' && xdotool key Return", 0,
       "{\"text\":\"a(b c)d\",\"symbology\":\"Tastatur\",\"points\":[]}\n"},
      {"xdotool key Escape", 1, ""},
  };
  for (const auto& c : cases) {
    const int status = std::system(("timeout 20 sh -c \"" + read + window + c.keys + "; wait \\$!\"").c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, c.status) << c.keys;
    std::stringstream printed;
    printed << std::ifstream(out).rdbuf();
    EXPECT_EQ(printed.str(), c.printed);
  }
  std::filesystem::remove(out);
}
