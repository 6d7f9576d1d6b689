// The code control for hosts: any size shows a readable code of its text; no code, a red hatch.
#include "CodeReaders.h"
#include "UiTesting.h"
#include "shell/QRCodeStatic.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/panel.h>

TEST(QRCodeStaticTest, ShowsACrispCodeOfItsTextAtAnySize) {
  wxFrame frame(nullptr, wxID_ANY, "host", wxDefaultPosition, wxSize(700, 500));
  wxPanel panel(&frame);
  CQRCodeStatic small(&panel, wxID_ANY, "klein", wxPoint(10, 10), wxSize(60, 60));
  CQRCodeStatic large(&panel, wxID_ANY, "https://www.example.org/gross", wxPoint(80, 10), wxSize(600, 400));
  frame.Show();
  Pump(300);
  for (CQRCodeStatic* control : {&small, &large}) {
    const wxImage shown = CaptureClient(control);
    const auto codes = ReadWithZXing(ToGray(shown));
    ASSERT_EQ(codes.size(), 1u) << control->GetSize().x;
    EXPECT_EQ(codes[0].text, control->GetLabel().ToStdString());
    // Crisp: only black and white, no grey edges.
    for (size_t i = 0; i < static_cast<size_t>(shown.GetWidth() * shown.GetHeight()); ++i) {
      const unsigned char v = shown.GetData()[3 * i];
      ASSERT_TRUE(v == 0 || v == 255) << "grey pixel at " << i;
    }
  }
  large.SetLabel("neuer Text");
  const auto codes = ReadWithZXing(ToGray(CaptureClient(&large)));
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "neuer Text");
  SaveScreenshot(&frame, "qrcode-static");
}

TEST(QRCodeStaticTest, NoCodeShowsARedHatchedFrame) {
  wxFrame frame(nullptr, wxID_ANY, "host", wxDefaultPosition, wxSize(300, 200));
  wxPanel panel(&frame);
  CQRCodeStatic control(&panel, wxID_ANY, "", wxPoint(10, 10), wxSize(120, 80));
  frame.Show();
  Pump(300);
  const wxImage shown = CaptureClient(&control);
  int red = 0;
  for (size_t i = 0; i < static_cast<size_t>(shown.GetWidth() * shown.GetHeight()); ++i) {
    const unsigned char* p = shown.GetData() + 3 * i;
    red += p[0] > 200 && p[1] < 60 && p[2] < 60;
  }
  EXPECT_GT(red, shown.GetWidth() * 2); // the frame and the hatch lines
  EXPECT_LT(red, shown.GetWidth() * shown.GetHeight() / 2);
  EXPECT_EQ(ReadWithZXing(ToGray(shown)).size(), 0u);
}
