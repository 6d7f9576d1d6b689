// The keyboard alone: one Tab cycle on each page reaches every control a user acts on, and the
// preview's pictures open with Enter as with a left click.
#include "TestPictures.h"
#include "UiTesting.h"
#include "decode/SubDlgDecode.h"
#include "outside/MessageBox.h"
#include "outside/ProgramSettings.h"
#include "shell/QRCodeDlg.h"
#include "sources/DecodeGrafikViewerDialog.h"

#include <gtest/gtest.h>
#include <wx/uiaction.h>

#include <filesystem>
#include <set>
#include <unistd.h>

namespace {

// The ids of the windows the focus visits over presses of Tab, each a person's lone key, starting
// from the main tab strip.
std::set<int> TabCycle(CQRCodeDlg& dialog, int presses) {
  dialog.GetTabCtrl().GetWindow()->SetFocus();
  Pump(100);
  std::set<int> visited;
  wxUIActionSimulator keys;
  for (int i = 0; i < presses; ++i) {
    keys.Char(WXK_TAB);
    Pump(250);
    if (wxWindow* focus = wxWindow::FindFocus()) visited.insert(focus->GetId());
  }
  return visited;
}

bool Holds(const std::set<int>& visited, std::initializer_list<int> ids) {
  return std::all_of(ids.begin(), ids.end(), [&](int id) { return visited.count(id) != 0; });
}

int ViewersShownBy(const std::function<void()>& action) {
  int viewers = 0;
  WhenModalShown([&](wxWindow* shown) {
    viewers += dynamic_cast<CDecodeGrafikViewerDialog*>(shown) != nullptr;
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  action();
  PumpUntil([&] { return viewers > 0; }, 2000);
  return viewers;
}

} // namespace

TEST(KeyboardTest, OneTabCycleOnEveryPageReachesItsControlsAndThePreviewOpensWithEnter) {
  constexpr int kStrip = 1000, kText = 1001, kSave = 1002, kCopy = 1006, kVCard = 4010, kWlan = 4011, kMeCard = 4017, kWebCam = 1007, kOpen = 1009, kPreview = 4004;
  const MessageBoxHandler old = SetMessageBoxHandler([](const CString&, UINT) { return IDOK; });
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  ASSERT_TRUE(dialog.CreateFromTemplate());
  dialog.OnInitDialog();
  dialog.Show();
  Pump(300);
  EXPECT_TRUE(Holds(TabCycle(dialog, 13), {kText, kVCard, kWlan, kMeCard, kCopy, kSave, kStrip}));

  dialog.GetTabCtrl().SetSelection(2); // Konfiguration: the property grid lets the focus go again
  Pump(300);
  wxWindow* grid = FindChild<wxWindow>(dialog.GetTabCtrl().m_arSubDlg[2]);
  ASSERT_NE(grid, nullptr);
  EXPECT_TRUE(Holds(TabCycle(dialog, 4), {kStrip}));

  dialog.GetTabCtrl().SetSelection(1); // Einlesen, the scanner's tab: its keyboard catch is on
  Pump(300);
  auto& decode = *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
  std::set<int> sources = TabCycle(dialog, 3);
  EXPECT_TRUE(Holds(sources, {kStrip})) << "the source strip is reached";
  SelectTab(decode.m_wndTabCtrl, "WebCam");
  EXPECT_TRUE(Holds(TabCycle(dialog, 4), {kWebCam}));

  const std::string picture =
      (std::filesystem::temp_directory_path() / ("codewerk-keys-" + std::to_string(getpid()) + ".png")).string();
  ASSERT_TRUE(SavePng(WithQuietZone(RenderCode("Vorschau", 4), 8), picture));
  decode.m_fnOnDecoded = [](const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*) { return false; };
  SelectTab(decode.m_wndTabCtrl, "Datei");
  CStringArray files;
  files.Add(picture.c_str());
  WhenModalShown([](wxWindow* result) { static_cast<wxDialog*>(result)->EndModal(wxID_CANCEL); });
  decode.m_dlgDatei.DecodeFiles(files);
  std::filesystem::remove(picture);
  EXPECT_TRUE(Holds(TabCycle(dialog, 5), {kOpen, kPreview}));

  auto& preview = decode.m_dlgDatei.m_btnVorschau;
  preview.SetFocus();
  Pump(100);
  SaveScreenshot(&dialog, "preview-with-focus");
  EXPECT_EQ(ViewersShownBy([] { wxUIActionSimulator().Char(WXK_RETURN); }), 1);
  EXPECT_EQ(ViewersShownBy([&] { ClickOn(&preview); }), 1);
  SetMessageBoxHandler(old);
}
