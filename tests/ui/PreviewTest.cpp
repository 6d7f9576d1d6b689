// The preview of a read and the viewer: grid, captions, green outlines, frames, context menu.
#include "UiTesting.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "sources/DecodeGrafikViewerDialog.h"
#include "sources/DecodeGrafikVorschauButton.h"

#include <wx/frame.h>
#include <wx/panel.h>

namespace {

// A grey picture as a graphic of the preview.
CDIBGrafik* Graphic(const GrayImage& image) {
  std::vector<unsigned char> bgr;
  for (auto v : image.pixels) bgr.insert(bgr.end(), {v, v, v});
  auto* graphic = new CDIBGrafik();
  graphic->SetDib(MakeDib24(image.width, image.height, bgr.data()));
  return graphic;
}

CDecodeResultArray Corners(std::initializer_list<POINT> points) {
  CDecodeResultArray results;
  CArray<POINT, POINT> corners;
  for (const POINT& p : points) corners.Add(p);
  results.AddDecodeResult("code", "QRCode", corners);
  return results;
}

bool IsGreen(const wxImage& image, int x, int y) {
  return image.GetRed(x, y) < 60 && image.GetGreen(x, y) > 200 && image.GetBlue(x, y) < 60;
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

TEST(PreviewTest, PicturesAreLaidOutInAGridOfRowsFromTheSquareRoot) {
  const std::tuple<int, int, int> layouts[] = {{1, 1, 1}, {2, 1, 2}, {3, 1, 3}, {4, 2, 2}, {5, 2, 3}}; // pictures, rows, columns
  for (const auto& [count, rows, columns] : layouts) {
    PreviewWindow window;
    for (int i = 0; i < count; ++i) window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), CDecodeResultArray());
    window.Paint();
    const wxSize client = window.preview.GetClientSize();
    for (int i = 0; i < count; ++i) {
      SCOPED_TRACE(std::to_string(count) + " pictures, picture " + std::to_string(i));
      const CRect& drawn = window.preview.m_arGrafiken[i]->m_rectDrawn;
      EXPECT_EQ(drawn.left / (client.x / columns), i % columns);
      EXPECT_EQ(drawn.top / (client.y / rows), i / columns);
      EXPECT_NEAR(static_cast<double>(drawn.Width()) / drawn.Height(), 80.0 / 60, 0.05); // proportions kept
    }
  }
}

TEST(PreviewTest, TheContextMenuOnlyOverAPictureAndWithItsStates) {
  PreviewWindow window;
  window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), CDecodeResultArray());
  window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), Corners({{1, 1}, {9, 9}}));
  window.preview.AddGrafik(new CDIBGrafik(), Corners({{1, 1}, {9, 9}})); // a graphic without bitmap
  window.Paint();
  std::vector<std::pair<bool, bool>> offered; // ("Ergebnis anzeigen", "Grafik anzeigen") enabled
  SetPopupMenuHandler([&](wxMenu& menu) -> UINT { return offered.push_back({menu.IsEnabled(1000), menu.IsEnabled(1001)}), 0; });
  std::vector<wxPoint> clicks = {wxPoint(300, 390)}; // below the pictures
  for (int i = 0; i < 2; ++i) {
    const CRect& r = window.preview.m_arGrafiken[i]->m_rectDrawn;
    clicks.emplace_back((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  }
  wxUIActionSimulator mouse;
  for (const wxPoint& click : clicks) {
    mouse.MouseMove(window.preview.ClientToScreen(click));
    Pump(50);
    mouse.MouseClick(wxMOUSE_BTN_RIGHT);
    Pump(150);
  }
  SetPopupMenuHandler(nullptr);
  EXPECT_EQ(offered, (std::vector<std::pair<bool, bool>>{{false, true}, {true, true}}));
  // A graphic without a bitmap is drawn nowhere; its menu would offer no picture.
  wxMenu menu;
  CDecodeGrafikVorschauButton::FillKontextMenu(menu, *window.preview.m_arGrafiken[2]);
  EXPECT_TRUE(menu.IsEnabled(1000));
  EXPECT_FALSE(menu.IsEnabled(1001));
}

TEST(PreviewTest, FourPicturesWithOutlinesAndTheViewerDrawsThemToo) {
  PreviewWindow window;
  GrayImage scene = Canvas(320, 240, 230);
  const GrayImage code = WithQuietZone(RenderCode("Vorschau", 4), 4);
  Paste(scene, code, 100, 50);
  const std::string path = (fs::temp_directory_path() / "codewerk-preview.png").string();
  ASSERT_TRUE(SavePng(scene, path));
  const int n = code.width - 8; // the code without its 4-pixel quiet zone, at (104, 54)
  const CDecodeResultArray found = Corners({{104, 54}, {104 + n, 54}, {104 + n, 54 + n}, {104, 54 + n}});
  for (int i = 0; i < 4; ++i) window.preview.LoadVorschauDatei(path.c_str(), i % 2 ? CDecodeResultArray() : found);
  fs::remove(path);
  ASSERT_EQ(window.preview.m_arGrafiken.GetSize(), 4);
  window.Paint();
  // Green at the middle of the code's left side, where it is drawn.
  auto outlineShown = [n](wxWindow* shown, const CRect& drawn) {
    const wxImage image = CaptureClient(shown);
    const int x = drawn.left + static_cast<int>(std::lround(104.0 * drawn.Width() / 320));
    const int y = drawn.top + static_cast<int>(std::lround((54.0 + n / 2) * drawn.Height() / 240));
    return IsGreen(image, x, y) || IsGreen(image, x + 1, y) || IsGreen(image, x - 1, y);
  };
  EXPECT_TRUE(outlineShown(&window.preview, window.preview.m_arGrafiken[0]->m_rectDrawn));

  CDecodeGrafikViewerDialog viewer(nullptr);
  HGLOBAL copy = CopyDIB(static_cast<CDIBGrafik*>(window.preview.m_arGrafiken[0]->m_pGrafik)->GetDib());
  viewer.m_arItems.Add(new CDecodeGrafikViewerDialogItem{copy, found});
  viewer.m_viewerCtrl.AddDib(copy);
  WhenModalShown([&](wxWindow* dialog) {
    CImageViewerWnd* wnd = viewer.GetImageViewerWnd();
    Pump(200);
    EXPECT_TRUE(wnd->IsFitting());
    EXPECT_TRUE(outlineShown(wnd, wnd->GetDrawnRect()));
    wnd->ZoomBy(1.25 * 1.25, wxPoint(10, 10));
    Pump(200);
    EXPECT_FALSE(wnd->IsFitting());
    EXPECT_TRUE(outlineShown(wnd, wnd->GetDrawnRect())); // zoomed: the outline moved with the picture
    EndModal(dialog);
  });
  viewer.DoModal();
}

// Odd width: padded rows. The BMP comes in whole; the PNG goes through the general reader; a file
// that only starts like a BMP is refused, not half taken.
TEST(PreviewTest, APlainBmpIsTakenAsItIsAndOthersAreDecoded) {
  const GrayImage picture = WithQuietZone(RenderCode("Vorschau", 3), 5);
  GrayImage odd = Canvas(picture.width + 1, picture.height, 90);
  Paste(odd, picture, 0, 0);
  const std::string bmp = fs::temp_directory_path() / "codewerk-plain.bmp", png = fs::temp_directory_path() / "codewerk-plain.png";
  ASSERT_TRUE(SaveBmp(odd, bmp) && SavePng(odd, png));
  for (const std::string& path : {bmp, png}) {
    CDIBGrafik graphic;
    ASSERT_TRUE(graphic.Lade(nullptr, path.c_str())) << path;
    const GrayImage loaded = ToGray(DibToImage(graphic.GetDib()));
    EXPECT_EQ(loaded.width, odd.width) << path;
    EXPECT_EQ(loaded.pixels, odd.pixels) << path;
  }
  fs::resize_file(bmp, 200);
  CDIBGrafik cut;
  EXPECT_FALSE(cut.Lade(nullptr, bmp.c_str()));
  fs::remove(bmp), fs::remove(png);
}
