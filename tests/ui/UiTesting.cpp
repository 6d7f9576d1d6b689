// The UI tests' program, a real wxWidgets application on the X display (Xvfb under make test),
// and the helpers its tests share.
#include "UiTesting.h"

#include "TestConfigFolder.h"
#include "outside/WxText.h"

#include <gtk/gtk.h>
#include <wx/app.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/timer.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

// Under the leak checker: caches the desktop's font and message-bus libraries keep for the life
// of the process are no finding; none of our allocations passes through them.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libdbus-1.so\n"; }

int main(int argc, char** argv) {
  if (!UseTemporaryConfigFolder()) return 2;
  setenv("NO_AT_BRIDGE", "1", 1); // no accessibility bus in tests
  ::testing::InitGoogleTest(&argc, argv);
  if (GTEST_FLAG_GET(list_tests)) return RUN_ALL_TESTS(); // listing needs no display
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return std::fprintf(stderr, "no X display: run the UI tests under xvfb-run\n"), 2;
  // A log message or a failed check must not open a modal box that no one closes.
  delete wxLog::SetActiveTarget(new wxLogStderr);
  wxSetAssertHandler([](const wxString& file, int line, const wxString&, const wxString& cond, const wxString& msg) {
    ADD_FAILURE() << "wx assertion at " << file << ":" << line << ": " << cond << " " << msg;
  });
  wxInitAllImageHandlers();
  const int rc = RUN_ALL_TESTS();
  return wxEntryCleanup(), rc;
}

void Pump(int ms) { PumpUntil([] { return false; }, ms); }

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

// Straight from the X server's screen: wxScreenDC hands back an old picture under GTK 3.
wxImage CaptureClient(wxWindow* window) {
  window->Refresh(), window->Update(), Pump(150);
  const wxRect rect(window->ClientToScreen(wxPoint(0, 0)), window->GetClientSize());
  gdk_display_sync(gdk_display_get_default());
  GdkPixbuf* pixbuf = gdk_pixbuf_get_from_window(gdk_get_default_root_window(), rect.x, rect.y, rect.width, rect.height);
  if (!pixbuf) return wxImage();
  wxImage image(rect.width, rect.height, false);
  const int stride = gdk_pixbuf_get_rowstride(pixbuf), channels = gdk_pixbuf_get_n_channels(pixbuf);
  for (int y = 0; y < rect.height; ++y)
    for (int x = 0; x < rect.width; ++x) {
      const guchar* p = gdk_pixbuf_get_pixels(pixbuf) + y * stride + x * channels;
      image.SetRGB(x, y, p[0], p[1], p[2]);
    }
  g_object_unref(pixbuf);
  return image;
}

GrayImage ToGray(const wxImage& image) {
  GrayImage gray{image.GetWidth(), image.GetHeight(), std::vector<std::uint8_t>(std::size_t(image.GetWidth()) * image.GetHeight())};
  const unsigned char* rgb = image.GetData();
  for (std::size_t i = 0; i < gray.pixels.size(); ++i)
    gray.pixels[i] = static_cast<std::uint8_t>((rgb[3 * i] + rgb[3 * i + 1] + rgb[3 * i + 2]) / 3);
  return gray;
}

void ClickOn(wxWindow* window) {
  wxUIActionSimulator simulator;
  const wxRect rect = window->GetScreenRect();
  simulator.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2), Pump(100);
  simulator.MouseClick(), Pump(150);
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
      if (!dialog || !dialog->IsModal() || !dialog->IsShown()) continue;
      timer->Stop();
      wxTheApp->CallAfter([timer, action, dialog] { action(dialog), delete timer; });
      return;
    }
  });
  timer->Start(100);
}

void RememberSource(const char* label) { CLokaleProgrammEinstellung::GetItem().SetText("QRCode", "LastDecodeSource", label); }

void SelectTab(CBaseSubDlgTabCtrl& tabs, const char* label) {
  for (int i = 0; i < tabs.GetPageCount(); ++i)
    if (tabs.GetTabLabel(i) == label) tabs.SetSelection(i);
  Pump(200);
}

std::string Labels(CBaseSubDlgTabCtrl& tabs) {
  std::string labels;
  for (int i = 0; i < tabs.GetPageCount(); ++i) labels += (i ? "|" : "") + tabs.GetTabLabel(i).str();
  return labels;
}

CStringArray Paths(const std::vector<std::string>& paths) {
  CStringArray list;
  for (const std::string& path : paths) list.Add(path.c_str());
  return list;
}

void AnswerFileDialog(std::vector<std::string> paths, FileDialogRequest* asked) {
  SetFileDialogHandler([paths, asked](const FileDialogRequest& request) -> std::optional<CStringArray> {
    if (asked) *asked = request;
    return Paths(paths);
  });
}

CDecodeResultArray Results(const std::vector<std::string>& texts, const std::vector<std::string>& symbols) {
  CDecodeResultArray results;
  CArray<POINT, POINT> none;
  for (size_t i = 0; i < texts.size(); ++i)
    results.AddDecodeResult(texts[i].c_str(), i < symbols.size() ? symbols[i].c_str() : "QRCode", none);
  return results;
}

std::string ClipboardText() {
  wxClipboardLocker open;
  wxTextDataObject data;
  return !!open && wxTheClipboard->GetData(data) ? FromWx(data.GetText()).str() : std::string();
}

void PageTest::SetUp() {
  m_savedMessages = SetMessageBoxHandler([this](const CString& text, UINT type) {
    m_messages.push_back(text.str()), m_types.push_back(type);
    if (m_answers.empty()) return IDOK;
    const int answer = m_answers.front();
    return m_answers.pop_front(), answer;
  });
  InFolder::SetUp();
}

void PageTest::TearDown() {
  m_dialog.reset();
  SetMessageBoxHandler(m_savedMessages), SetFileDialogHandler(nullptr), SetPopupMenuHandler(nullptr);
  InFolder::TearDown();
}

CQRCodeDlg& PageTest::Show(int tab, const std::function<void(CSubDlgDecode&)>& prepare) {
  m_dialog.reset(), m_dialog = std::make_unique<CQRCodeDlg>(); // the last one keeps its tab before the next reads it
  EXPECT_TRUE(m_dialog->CreateFromTemplate());
  m_dialog->OnInitDialog();
  CSubDlgDecode& page = Decode();
  page.m_fnOnDecoded = [this](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>* images) {
    for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strText.str()), m_symbols.push_back(r->m_strSymbol.str());
    return m_images = images->GetSize(), m_accept;
  };
  if (prepare) prepare(page);
  m_dialog->Show(), ToTab(tab);
  return *m_dialog;
}

CSubDlgDecode& PageTest::OpenDecode(const char* source) {
  if (source) RememberSource(source);
  return Show(1), Decode();
}

void PageTest::ToTab(int tab, int ms) {
  m_dialog->GetTabCtrl().SetSelection(tab), Pump(ms);
}

CSubDlgDecode& PageTest::Decode() { return *dynamic_cast<CSubDlgDecode*>(m_dialog->GetTabCtrl().m_arSubDlg[1]); }
