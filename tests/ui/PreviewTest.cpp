// The preview of a read and the viewer: green outlines, zooming, the context menu.
#include "UiTesting.h"
#include "outside/DibServices.h"
#include "sources/DecodeGrafikViewerDialog.h"
#include "sources/DecodeGrafikVorschauButton.h"

#include <wx/frame.h>
#include <wx/panel.h>

TEST(PreviewTest, TheOutlineIsDrawnOverThePictureInThePreviewAndInTheZoomedViewer) {
  wxFrame frame(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(640, 460));
  wxPanel panel(&frame);
  CDecodeGrafikVorschauButton preview;
  preview.Create(&panel), preview.SetSize(10, 10, 600, 400), frame.Show(), Pump(100);
  GrayImage scene = Canvas(320, 240, 230);
  const GrayImage code = WithQuietZone(RenderCode("Vorschau", 4), 4);
  Paste(scene, code, 100, 50);
  const std::string path = (fs::temp_directory_path() / "codewerk-preview.png").string();
  ASSERT_TRUE(SavePng(scene, path));
  const int n = code.width - 8; // the code without its 4-pixel quiet zone, at (104, 54)
  CArray<POINT, POINT> corners;
  for (const POINT& p : {POINT{104, 54}, POINT{104 + n, 54}, POINT{104 + n, 54 + n}, POINT{104, 54 + n}}) corners.Add(p);
  CDecodeResultArray found;
  found.AddDecodeResult("code", "QRCode", corners);
  for (int i = 0; i < 2; ++i) preview.LoadVorschauDatei(path.c_str(), i ? CDecodeResultArray() : found);
  fs::remove(path);
  // Green at the middle of the code's left side, where it is drawn.
  auto outlineShown = [n](wxWindow* shown, const CRect& drawn) {
    const wxImage image = CaptureClient(shown);
    const int x = drawn.left + static_cast<int>(std::lround(104.0 * drawn.Width() / 320));
    const int y = drawn.top + static_cast<int>(std::lround((54.0 + n / 2) * drawn.Height() / 240));
    for (int dx : {-1, 0, 1})
      if (image.GetRed(x + dx, y) < 60 && image.GetGreen(x + dx, y) > 200 && image.GetBlue(x + dx, y) < 60) return true;
    return false;
  };
  EXPECT_TRUE(outlineShown(&preview, preview.m_arGrafiken[0]->m_rectDrawn));
  // The context menu offers the result only where there is one, the picture only where there is a bitmap.
  preview.AddGrafik(new CDIBGrafik(), found);
  std::vector<std::pair<bool, bool>> offered; // ("Ergebnis anzeigen", "Grafik anzeigen") enabled
  for (int i = 0; i < 3; ++i) {
    wxMenu menu;
    CDecodeGrafikVorschauButton::FillKontextMenu(menu, *preview.m_arGrafiken[i]);
    offered.emplace_back(menu.IsEnabled(1000), menu.IsEnabled(1001));
  }
  EXPECT_EQ(offered, (std::vector<std::pair<bool, bool>>{{true, true}, {false, true}, {true, false}}));

  CDecodeGrafikViewerDialog viewer(nullptr);
  HGLOBAL copy = CopyDIB(static_cast<CDIBGrafik*>(preview.m_arGrafiken[0]->m_pGrafik)->GetDib());
  viewer.m_arItems.Add(new CDecodeGrafikViewerDialogItem{copy, found});
  viewer.m_viewerCtrl.AddDib(copy);
  WhenModalShown([&](wxWindow* dialog) {
    CImageViewerWnd* wnd = viewer.GetImageViewerWnd();
    Pump(200);
    EXPECT_TRUE(wnd->IsFitting() && outlineShown(wnd, wnd->GetDrawnRect()));
    wnd->ZoomBy(1.25 * 1.25, wxPoint(10, 10));
    Pump(200);
    EXPECT_FALSE(wnd->IsFitting());
    EXPECT_TRUE(outlineShown(wnd, wnd->GetDrawnRect())); // zoomed: the outline moved with the picture
    EndModal(dialog);
  });
  viewer.DoModal();
}
