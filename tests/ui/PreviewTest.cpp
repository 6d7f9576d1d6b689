// The preview of a read and the viewer: grid, captions, green outlines, frames, context menu.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "UiTesting.h"
#include "outside/DibDrawing.h"
#include "outside/DibServices.h"
#include "outside/PopupMenu.h"
#include "sources/DecodeGrafikViewerDialog.h"
#include "sources/DecodeGrafikVorschauButton.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <wx/dcmemory.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/uiaction.h>

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
  const std::pair<int, std::pair<int, int>> layouts[] = {{1, {1, 1}}, {2, {1, 2}}, {3, {1, 3}}, {4, {2, 2}}, {5, {2, 3}}};
  for (const auto& [count, grid] : layouts) {
    PreviewWindow window;
    for (int i = 0; i < count; ++i) window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), CDecodeResultArray());
    window.Paint();
    const auto [rows, columns] = grid;
    const wxSize client = window.preview.GetClientSize();
    for (int i = 0; i < count; ++i) {
      const CRect& drawn = window.preview.m_arGrafiken[i]->m_rectDrawn;
      EXPECT_EQ(drawn.left / (client.x / columns), i % columns) << count << " pictures, picture " << i;
      EXPECT_EQ(drawn.top / (client.y / rows), i / columns) << count << " pictures, picture " << i;
      EXPECT_NEAR(static_cast<double>(drawn.Width()) / drawn.Height(), 80.0 / 60, 0.05); // proportions kept
    }
  }
}

TEST(PreviewTest, OutlinesNeedTwoPointsAndCloseThemselves) {
  wxBitmap bitmap(200, 200, 24);
  wxMemoryDC dc(bitmap);
  auto greenPixels = [&](std::initializer_list<POINT> points) {
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    CDecodeResultArray results = Corners(points);
    DrawResultOutline(dc, CSize(100, 100), CRect(0, 0, 200, 200), *results[0]);
    dc.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();
    dc.SelectObject(bitmap);
    int green = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 200; ++x) green += IsGreen(image, x, y);
    return std::make_pair(green, image);
  };
  EXPECT_EQ(greenPixels({}).first, 0);
  EXPECT_EQ(greenPixels({{10, 10}}).first, 0);
  const auto [segment, segmentImage] = greenPixels({{10, 10}, {60, 10}}); // there and back: one line
  EXPECT_NEAR(segment, 101, 3);
  EXPECT_TRUE(IsGreen(segmentImage, 60, 20)); // image point (30, 10) at twice the size
  const auto [square, squareImage] = greenPixels({{10, 10}, {60, 10}, {60, 60}, {10, 60}});
  EXPECT_NEAR(square, 4 * 100, 8);
  EXPECT_TRUE(IsGreen(squareImage, 20, 70)); // the closing side from the last point to the first
}

TEST(PreviewTest, TheContextMenuOnlyOverAPictureAndWithItsStates) {
  PreviewWindow window;
  window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), CDecodeResultArray());
  window.preview.AddGrafik(Graphic(Canvas(80, 60, 200)), Corners({{1, 1}, {9, 9}}));
  window.preview.AddGrafik(new CDIBGrafik(), Corners({{1, 1}, {9, 9}})); // a graphic without bitmap
  window.Paint();
  std::vector<std::pair<bool, bool>> offered; // ("Ergebnis anzeigen", "Grafik anzeigen") enabled
  SetPopupMenuHandler([&](wxMenu& menu) -> UINT {
    offered.push_back({menu.IsEnabled(1000), menu.IsEnabled(1001)});
    return 0;
  });
  wxUIActionSimulator mouse;
  auto rightClick = [&](wxPoint client) {
    const wxPoint screen = window.preview.ClientToScreen(client);
    mouse.MouseMove(screen.x, screen.y);
    Pump(50);
    mouse.MouseClick(wxMOUSE_BTN_RIGHT);
    Pump(150);
  };
  rightClick(wxPoint(300, 390)); // below the pictures
  EXPECT_TRUE(offered.empty());
  for (int i = 0; i < 2; ++i) {
    const CRect& r = window.preview.m_arGrafiken[i]->m_rectDrawn;
    rightClick(wxPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
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
  const std::string path = (std::filesystem::temp_directory_path() / "codewerk-preview.png").string();
  ASSERT_TRUE(SavePng(scene, path));
  const int n = code.width - 8; // the code without its 4-pixel quiet zone, at (104, 54)
  const CDecodeResultArray found = Corners({{104, 54}, {104 + n, 54}, {104 + n, 54 + n}, {104, 54 + n}});
  for (int i = 0; i < 4; ++i) window.preview.LoadVorschauDatei(path.c_str(), i % 2 ? CDecodeResultArray() : found);
  ASSERT_EQ(window.preview.m_arGrafiken.GetSize(), 4);
  window.Paint();
  const wxImage shown = CaptureClient(&window.preview);
  const CRect& first = window.preview.m_arGrafiken[0]->m_rectDrawn;
  const int x = first.left + static_cast<int>(std::lround(104.0 * first.Width() / 320));
  const int y = first.top + static_cast<int>(std::lround((54.0 + n / 2) * first.Height() / 240));
  EXPECT_TRUE(IsGreen(shown, x, y) || IsGreen(shown, x + 1, y) || IsGreen(shown, x - 1, y));
  SaveScreenshot(&window.frame, "preview-four-pictures");

  CDecodeGrafikViewerDialog viewer(nullptr);
  HGLOBAL copy = CopyDIB(static_cast<CDIBGrafik*>(window.preview.m_arGrafiken[0]->m_pGrafik)->GetDib());
  viewer.m_arItems.Add(new CDecodeGrafikViewerDialogItem{copy, found});
  viewer.m_viewerCtrl.AddDib(copy);
  WhenModalShown([&](wxWindow* dialog) {
    CImageViewerWnd* wnd = viewer.GetImageViewerWnd();
    Pump(200);
    auto outlineShown = [&] {
      const CRect drawn = wnd->GetDrawnRect();
      const wxImage image = CaptureClient(wnd);
      const int ox = drawn.left + static_cast<int>(std::lround(104.0 * drawn.Width() / 320));
      const int oy = drawn.top + static_cast<int>(std::lround((54.0 + n / 2) * drawn.Height() / 240));
      return IsGreen(image, ox, oy) || IsGreen(image, ox + 1, oy) || IsGreen(image, ox - 1, oy);
    };
    EXPECT_TRUE(wnd->IsFitting());
    EXPECT_TRUE(outlineShown());
    SaveScreenshot(dialog, "viewer");
    wnd->ZoomBy(1.25 * 1.25, wxPoint(10, 10));
    Pump(200);
    EXPECT_FALSE(wnd->IsFitting());
    EXPECT_TRUE(outlineShown()); // zoomed: the outline moved with the picture
    static_cast<wxDialog*>(dialog)->EndModal(wxID_CANCEL);
  });
  viewer.DoModal();
  std::filesystem::remove(path);
}

TEST(PreviewTest, APlainBmpIsTakenAsItIsAndOthersAreDecoded) {
  // Odd width: padded rows. The BMP comes in whole; the PNG goes through the general reader.
  const GrayImage picture = WithQuietZone(RenderCode("Vorschau", 3), 5);
  GrayImage odd = Canvas(picture.width + 1, picture.height, 90);
  Paste(odd, picture, 0, 0);
  const auto folder = std::filesystem::temp_directory_path();
  const std::string bmp = (folder / "codewerk-plain.bmp").string(), png = (folder / "codewerk-plain.png").string();
  ASSERT_TRUE(SaveBmp(odd, bmp));
  ASSERT_TRUE(SavePng(odd, png));
  for (const std::string& path : {bmp, png}) {
    SCOPED_TRACE(path);
    CDIBGrafik graphic;
    ASSERT_TRUE(graphic.Lade(nullptr, path.c_str()));
    const GrayImage loaded = ToGray(DibToImage(graphic.GetDib()));
    EXPECT_EQ(loaded.width, odd.width);
    EXPECT_EQ(loaded.pixels, odd.pixels);
  }
  // A file that only starts like a BMP is refused, not half taken.
  std::filesystem::resize_file(bmp, 200);
  CDIBGrafik cut;
  EXPECT_FALSE(cut.Lade(nullptr, bmp.c_str()));
  std::filesystem::remove(bmp);
  std::filesystem::remove(png);
}
