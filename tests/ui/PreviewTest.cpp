// The preview of a read and the viewer: green outlines, zooming, the context menu.
#include "UiTesting.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "sources/DecodeGrafikViewerDialog.h"
#include "sources/DecodeGrafikVorschauButton.h"

#include <wx/frame.h>
#include <wx/panel.h>

namespace {

CDecodeResultArray Corners(std::initializer_list<POINT> points) {
  CDecodeResultArray results;
  CArray<POINT, POINT> corners;
  for (const POINT& p : points) corners.Add(p);
  results.AddDecodeResult("code", "QRCode", corners);
  return results;
}

struct PreviewWindow {
  PreviewWindow() : frame(nullptr, wxID_ANY, "preview", wxDefaultPosition, wxSize(640, 460)), panel(&frame) {
    preview.Create(&panel);
    preview.SetSize(10, 10, 600, 400);
    frame.Show();
    Pump(100);
  }
  void Paint() {
    preview.Refresh();
    preview.Update();
    Pump(150);
  }
  wxFrame frame;
  wxPanel panel;
  CDecodeGrafikVorschauButton preview;
};

} // namespace

TEST(PreviewTest, TheOutlineIsDrawnOverThePictureInThePreviewAndInTheZoomedViewer) {
  PreviewWindow window;
  GrayImage scene = Canvas(320, 240, 230);
  const GrayImage code = WithQuietZone(RenderCode("Vorschau", 4), 4);
  Paste(scene, code, 100, 50);
  const std::string path = (fs::temp_directory_path() / "codewerk-preview.png").string();
  ASSERT_TRUE(SavePng(scene, path));
  const int n = code.width - 8; // the code without its 4-pixel quiet zone, at (104, 54)
  const CDecodeResultArray found = Corners({{104, 54}, {104 + n, 54}, {104 + n, 54 + n}, {104, 54 + n}});
  for (int i = 0; i < 2; ++i) window.preview.LoadVorschauDatei(path.c_str(), i ? CDecodeResultArray() : found);
  fs::remove(path);
  window.Paint();
  // Green at the middle of the code's left side, where it is drawn.
  auto outlineShown = [n](wxWindow* shown, const CRect& drawn) {
    const wxImage image = CaptureClient(shown);
    const int x = drawn.left + static_cast<int>(std::lround(104.0 * drawn.Width() / 320));
    const int y = drawn.top + static_cast<int>(std::lround((54.0 + n / 2) * drawn.Height() / 240));
    for (int dx : {-1, 0, 1})
      if (image.GetRed(x + dx, y) < 60 && image.GetGreen(x + dx, y) > 200 && image.GetBlue(x + dx, y) < 60) return true;
    return false;
  };
  EXPECT_TRUE(outlineShown(&window.preview, window.preview.m_arGrafiken[0]->m_rectDrawn));
  // The context menu offers the result only where there is one, the picture only where there is a bitmap.
  window.preview.AddGrafik(new CDIBGrafik(), found);
  std::vector<std::pair<bool, bool>> offered; // ("Ergebnis anzeigen", "Grafik anzeigen") enabled
  for (int i = 0; i < 3; ++i) {
    wxMenu menu;
    CDecodeGrafikVorschauButton::FillKontextMenu(menu, *window.preview.m_arGrafiken[i]);
    offered.emplace_back(menu.IsEnabled(1000), menu.IsEnabled(1001));
  }
  EXPECT_EQ(offered, (std::vector<std::pair<bool, bool>>{{true, true}, {false, true}, {true, false}}));

  CDecodeGrafikViewerDialog viewer(nullptr);
  HGLOBAL copy = CopyDIB(static_cast<CDIBGrafik*>(window.preview.m_arGrafiken[0]->m_pGrafik)->GetDib());
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
