#include "UiTesting.h"

#include "outside/ProgramSettings.h"
#include "shell/BaseSubDlgTabCtrl.h"
#include "decode/SubDlgDecode.h"
#include "shell/QRCodeDlg.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

void Pump(int ms) {
  PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    if (done()) return true;
    wxTheApp->Yield(true);
    wxTheApp->ProcessIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

wxImage CaptureClient(wxWindow* window) {
  window->Refresh();
  window->Update();
  Pump(150);
  const wxPoint origin = window->ClientToScreen(wxPoint(0, 0));
  const wxSize size = window->GetClientSize();
  return CaptureScreen(wxRect(origin, size));
}

// Straight from the X server's screen: wxScreenDC hands back an old picture under GTK 3.
wxImage CaptureScreen(const wxRect& rect) {
  gdk_display_sync(gdk_display_get_default());
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), rect.x, rect.y, rect.width, rect.height);
  if (!pixbuf) return wxImage();
  wxImage image(rect.width, rect.height, false);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  const guchar* pixels = gdk_pixbuf_get_pixels(pixbuf);
  for (int y = 0; y < rect.height; ++y)
    for (int x = 0; x < rect.width; ++x) {
      const guchar* p = pixels + y * stride + x * channels;
      image.SetRGB(x, y, p[0], p[1], p[2]);
    }
  g_object_unref(pixbuf);
  return image;
}

GrayImage ToGray(const wxImage& image) {
  GrayImage gray{image.GetWidth(), image.GetHeight(), {}};
  const unsigned char* rgb = image.GetData();
  for (int i = 0; i < gray.width * gray.height; ++i)
    gray.pixels.push_back(static_cast<std::uint8_t>((rgb[3 * i] + rgb[3 * i + 1] + rgb[3 * i + 2]) / 3));
  return gray;
}

void ClickOn(wxWindow* window) {
  wxUIActionSimulator simulator;
  const wxRect rect = window->GetScreenRect();
  simulator.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
  Pump(100);
  simulator.MouseClick();
  Pump(150);
}

void TypeText(const std::string& text) {
  wxUIActionSimulator simulator;
  for (char c : text) {
    if (c == '\n') simulator.Char(WXK_RETURN);
    else simulator.Text(std::string(1, c).c_str());
    Pump(5);
  }
  Pump(150);
}

void WhenModalShown(std::function<void(wxWindow* dialog)> action) {
  auto* timer = new wxTimer();
  timer->Bind(wxEVT_TIMER, [timer, action](wxTimerEvent&) {
    for (wxWindow* window : wxTopLevelWindows) {
      auto* dialog = dynamic_cast<wxDialog*>(window);
      if (dialog && dialog->IsModal() && dialog->IsShown()) {
        timer->Stop();
        wxTheApp->CallAfter([timer, action, dialog] {
          action(dialog);
          delete timer;
        });
        return;
      }
    }
  });
  timer->Start(100);
}

void SaveScreenshot(wxWindow* window, const std::string& name) {
  const char* folder = std::getenv("CODEWERK_SCREENSHOTS");
  if (!folder || !*folder) return;
  Pump(100);
  CaptureScreen(window->GetScreenRect()).SaveFile(std::string(folder) + "/" + name + ".png", wxBITMAP_TYPE_PNG);
}

void RememberSource(const char* label) {
  CLokaleProgrammEinstellung::GetItem().SetText("QRCode", "LastDecodeSource", label);
}

int SelectTab(CBaseSubDlgTabCtrl& tabs, const char* label) {
  for (int i = 0; i < tabs.GetPageCount(); ++i) {
    if (tabs.GetTabLabel(i) != label) continue;
    tabs.SetSelection(i);
    Pump(200);
    return i;
  }
  return -1;
}

CSubDlgDecode& ShowDecodePage(CQRCodeDlg& dialog) {
  dialog.CreateFromTemplate();
  dialog.OnInitDialog();
  dialog.Show();
  dialog.GetTabCtrl().SetSelection(1);
  Pump(200);
  return *dynamic_cast<CSubDlgDecode*>(dialog.GetTabCtrl().m_arSubDlg[1]);
}

