// The "Einlesen" page: its source tabs, a 2D scanner typing, reporting to host handlers, the
// preview, and pictures decoded from files.
#include "CodeReaders.h"
#include "TestPictures.h"
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "outside/MessageFilter.h"
#include "outside/PopupMenu.h"
#include "outside/ProgramSettings.h"
#include "outside/WxText.h"
#include "shell/QRCodeDlg.h"
#include "sources/DecodeAhead.h"
#include "outside/TempFiles.h"
#include "sources/DecodeDateiArray.h"
#include "HostilePictures.h"
#include "RecordingOpener.h"
#include "results/DecodeResultTasksDialog.h"

#include <gtest/gtest.h>
#include <wx/dnd.h>
#include <wx/filedlg.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include <glib.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class DecodePageTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_savedMessages = SetMessageBoxHandler([this](const CString& text, UINT) {
      m_messages.push_back(text.str());
      return IDOK;
    });
    fs::create_directories(m_dir);
  }
  void TearDown() override {
    SetMessageBoxHandler(m_savedMessages);
    SetFileDialogHandler(nullptr);
    fs::remove_all(m_dir);
  }

  // The main dialog with its "Einlesen" tab in front; the host handler records what it gets.
  CSubDlgDecode& OpenDecodePage(CQRCodeDlg& dialog, bool accept = true) {
    auto& page = ShowDecodePage(dialog);
    page.m_fnOnDecoded = [this, accept](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>*) {
      for (const CSubDlgDecodeResult* r : *results) m_decoded.push_back(r->m_strSymbol.str() + ": " + r->m_strText.str());
      return accept;
    };
    return page;
  }

  std::string Picture(const std::string& name, const GrayImage& image) {
    const std::string path = (m_dir / name).string();
    EXPECT_TRUE(SavePng(image, path));
    return path;
  }

  // Bitmaps of split scans in the process's temporary folder.
  static int BitmapsInTemp() {
    char folder[MAX_PATH];
    EXPECT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    int n = 0;
    for (const auto& entry : fs::directory_iterator(folder)) n += entry.path().filename().string().rfind("TQD", 0) == 0;
    return n;
  }

  std::vector<std::string> m_decoded, m_messages;
  MessageBoxHandler m_savedMessages;
  fs::path m_dir = fs::temp_directory_path() / ("codewerk-decode-page-" + std::to_string(getpid()));
};

// One character as a scanner's keyboard delivers it, straight into the event handling.
void SendChar(wxWindow* target, wxChar character) {
  wxKeyEvent event(wxEVT_CHAR);
  event.m_uniChar = character;
  event.m_keyCode = character < 128 ? static_cast<int>(character) : static_cast<int>(WXK_NONE);
  event.SetEventObject(target);
  target->GetEventHandler()->ProcessEvent(event);
}

} // namespace

TEST_F(DecodePageTest, ThePagesTooltipsFollowTheDecoderSetting) {
  const CQRCodeKonfiguration saved = CQRCodeKonfiguration(GetQRCodeKonfiguration());
  const char* const tooltips[] = {"Bibliothek: ZBar", "Bibliothek: ZXing", "Bibliothek: ZXing + ZBar", "Bibliothek: ZXing"};
  for (int decoder : {0, 1, 2, 3}) {
    GetQRCodeKonfiguration().m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(decoder);
    CQRCodeDlg dialog;
    ASSERT_TRUE(dialog.CreateFromTemplate());
    dialog.OnInitDialog();
    ASSERT_EQ(dialog.GetTabCtrl().GetPageCount(), 4);
    EXPECT_EQ(dialog.GetTabCtrl().GetTabLabel(1), "Einlesen");
    EXPECT_EQ(dialog.GetTabCtrl().m_arSubDlg[1]->m_strToolTip, tooltips[decoder]);
  }
  GetQRCodeKonfiguration().m_eDecoder = Decoder_ZXing;
}

TEST_F(DecodePageTest, AScannersKeyBurstBecomesOneTastaturResult) {
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  ASSERT_TRUE(page.m_dlgBarCodeScanner.m_bHookInstalled);
  wxWindow* focused = page.m_wndTabCtrl.m_arSubDlg[0];
  focused->SetFocus();
  TypeText("abc\n");
  EXPECT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 1000));
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"Tastatur: abc"}));
  // The handler accepted, so the page ended the catch; showing the tab again starts it again.
  EXPECT_FALSE(page.m_dlgBarCodeScanner.m_bHookInstalled);
  page.m_dlgBarCodeScanner.OnShowWindow(TRUE, 0);

  m_decoded.clear();
  TypeText("ab");
  Pump(400);
  EXPECT_TRUE(m_decoded.empty()); // fewer than three characters: nothing, no message
  EXPECT_TRUE(m_messages.empty());

  TypeText("a b c\n ");
  EXPECT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 1000));
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"Tastatur: a b c"})); // the blank after Enter is swallowed
  page.m_dlgBarCodeScanner.OnShowWindow(TRUE, 0);

  m_decoded.clear();
  for (wxChar c : wxString::FromUTF8("Grüße €")) SendChar(focused, c);
  EXPECT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 1000));
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"Tastatur: Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"}));
}

TEST_F(DecodePageTest, KeysReachTheControlsWhenTheScannerTabIsHidden) {
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  page.m_dlgBarCodeScanner.OnShowWindow(TRUE, 0); // shown twice: still one registration
  page.m_dlgBarCodeScanner.Remove_WinApp_PreTranslateMessage_Function();
  EXPECT_FALSE(Is_WinApp_PreTranslateMessage_Function_Added(&page.m_dlgBarCodeScanner));
  page.m_dlgBarCodeScanner.OnShowWindow(TRUE, 0);

  dialog.GetTabCtrl().SetSelection(0); // back to "Erstellen": the decode page and its source hide
  Pump(200);
  EXPECT_FALSE(page.m_dlgBarCodeScanner.m_bHookInstalled);
  auto* edit = dynamic_cast<wxTextCtrl*>(dialog.GetTabCtrl().m_arSubDlg[0]->GetDlgItem(1001));
  edit->SetFocus();
  edit->Clear();
  TypeText("xyz\n");
  Pump(300);
  EXPECT_EQ(edit->GetValue(), "xyz\n");
  EXPECT_TRUE(m_decoded.empty());
}

TEST_F(DecodePageTest, AHostHandlerThatDeclinesLeavesTheCatchOnAndTheResultDialogShows) {
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog, false);
  bool resultDialogShown = false;
  bool catchOffDuringHandler = false;
  auto recorder = page.m_fnOnDecoded;
  page.m_fnOnDecoded = [&](const CDecodeResultArray* r, const CDTemplateArray<CDecodeGrafikResult>* i) {
    catchOffDuringHandler = !page.m_dlgBarCodeScanner.m_bHookInstalled;
    return recorder(r, i);
  };
  WhenModalShown([&](wxWindow* shown) {
    resultDialogShown = static_cast<wxDialog*>(shown)->GetTitle() == "Ergebnis";
    static_cast<wxDialog*>(shown)->EndModal(wxID_CANCEL);
  });
  CDecodeResultArray results;
  CArray<POINT, POINT> none;
  results.AddDecodeResult("www.example.de", "QRCode", none);
  page.OnQRCodeDecoded(results);
  EXPECT_TRUE(catchOffDuringHandler);
  EXPECT_TRUE(resultDialogShown);
  EXPECT_TRUE(page.m_dlgBarCodeScanner.m_bHookInstalled);
}

TEST_F(DecodePageTest, AHostHandlerThatAcceptsClosesTheDialogWithoutTheResultDialog) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog, true);
  dialog.Hide();
  int modalDialogsSeen = 0;
  WhenModalShown([&](wxWindow*) {
    ++modalDialogsSeen;
    CDecodeResultArray results;
    CArray<POINT, POINT> none;
    results.AddDecodeResult("angenommen", "QRCode", none);
    page.OnQRCodeDecoded(results); // the handler accepts: the page ends its dialog
  });
  EXPECT_EQ(dialog.ShowModal(), wxID_OK);
  EXPECT_EQ(modalDialogsSeen, 1);
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"QRCode: angenommen"}));
}

TEST_F(DecodePageTest, DroppedFilesAreDecodedTogetherInDropOrder) {
  RememberSource("Datei");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  // The first file takes far longer to read than the others, which may be read beside it.
  GrayImage scan = Noisy(Canvas(2600, 2600, 235), 6, 3);
  Paste(scan, WithQuietZone(RenderCode("erste Datei", 4), 10), 1700, 1900);
  const std::string first = Picture("eins.png", scan);
  const std::string second = Picture("zwei.png", WithQuietZone(RenderCode("zweite Datei", 4), 10));
  const std::string empty = Picture("leer.png", Canvas(200, 150));
  const std::string turned = Picture("schraeg.png", Rotated(WithQuietZone(RenderCode("schräg", 4), 10), 17));
  CStringArray files;
  for (const auto& f : {first, empty, second, turned}) files.Add(f.c_str());
  CDragDropTreeRecord record;
  record.m_pFiles = &files;
  page.m_dlgDatei.OnDragDropTree(0, reinterpret_cast<LPARAM>(&record));
  EXPECT_EQ(record.m_nResult, 1);
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"QRCode: erste Datei", "QRCode: zweite Datei", "QRCode: schräg"}));
  auto& previews = page.m_dlgDatei.m_btnVorschau.m_arGrafiken;
  ASSERT_EQ(previews.GetSize(), 4);
  Pump(200);
  SaveScreenshot(&dialog, "decode-page-datei");
  EXPECT_EQ(previews[0]->m_arResults.GetSize(), 1);
  EXPECT_EQ(previews[1]->m_arResults.GetSize(), 0);
  EXPECT_EQ(previews[2]->m_arResults[0]->m_strText, "zweite Datei");

  // Dragging over reports file names without decoding anything.
  m_decoded.clear();
  CDragDropTreeRecord dragging;
  dragging.m_nDragState = 1;
  dragging.m_pFiles = &files;
  page.m_dlgDatei.OnDragDropTree(0, reinterpret_cast<LPARAM>(&dragging));
  EXPECT_EQ(dragging.m_nResult, 1);
  EXPECT_TRUE(m_decoded.empty());
}

TEST_F(DecodePageTest, AMultiPageTiffIsSplitDecodedInOrderAndLeavesNoBitmapBehind) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  std::string convert = "convert";
  for (const char* text : {"Seite 1", "Seite 2", "Seite 3"}) {
    convert += ' ';
    convert += Picture(std::string(text).substr(6).append(".png"), WithQuietZone(RenderCode(text, 4), 10));
  }
  const std::string tiff = (m_dir / "drei Seiten.TIF").string();
  ASSERT_EQ(std::system((convert + " -compress lzw '" + tiff + "'").c_str()), 0);
  const int before = BitmapsInTemp();
  SelectTab(page.m_wndTabCtrl, "Datei");
  SetFileDialogHandler([&](const FileDialogRequest& request) -> std::optional<CStringArray> {
    EXPECT_TRUE(request.multiple);
    CStringArray chosen;
    chosen.Add(tiff.c_str());
    return chosen;
  });
  ClickOn(page.m_dlgDatei.GetDlgItem(1009)); // the keyboard user's way in
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"QRCode: Seite 1", "QRCode: Seite 2", "QRCode: Seite 3"}));
  EXPECT_EQ(page.m_dlgDatei.m_btnVorschau.m_arGrafiken.GetSize(), 3);
  EXPECT_EQ(BitmapsInTemp(), before);
}

TEST_F(DecodePageTest, AScanBeyondThePageLimitIsReadToItAndTheUserIsTold) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  CStringArray files;
  for (const HostileFile& file : MakeHostilePictures())
    if (file.name == "tiff-10000-pages.tif") {
      std::ofstream(m_dir / file.name, std::ios::binary).write(reinterpret_cast<const char*>(file.bytes.data()), static_cast<long>(file.bytes.size()));
      files.Add((m_dir / file.name).c_str());
    }
  page.m_dlgDatei.DecodeFiles(files);
  EXPECT_EQ(m_messages, (std::vector<std::string>{"„tiff-10000-pages.tif“ hat mehr als 1000 Seiten; gelesen wurden nur die ersten 1000.",
                                                  "Es wurden keine QR Codes erkannt."}));
  EXPECT_EQ(page.m_dlgDatei.m_btnVorschau.m_arGrafiken.GetSize(), 1000);
  EXPECT_EQ(BitmapsInTemp(), 0);
}

// A drop given up early (an exception on the way) waits for the files in hand, frees what was
// read and not taken (the sanitizer build sees leaks), and leaves no bitmap of a scan behind.
TEST_F(DecodePageTest, ADropGivenUpEarlyFreesItsResultsAndBitmaps) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  const std::string picture = Picture("code.png", WithQuietZone(RenderCode("früh", 4), 10));
  const std::string tiff = (m_dir / "zwei.tif").string();
  ASSERT_EQ(std::system(("convert " + picture + " " + picture + " -compress lzw " + tiff).c_str()), 0);
  CStringArray files;
  for (const std::string& f : {picture, tiff, picture, picture}) files.Add(f.c_str());
  std::vector<std::string> temporaries;
  {
    CDecodeDateiArray list;
    list.StartAddingDateien(files);
    CDecodeAhead decoded(page, list);
    CString file;
    void* handle = nullptr;
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(decoded.Take(i, file, handle));
      EXPECT_NE(handle, nullptr) << i;
      page.FreeDecodeResult(handle);
    }
    temporaries.push_back(file.str());
  }
  EXPECT_FALSE(fs::exists(temporaries[0]));
}

TEST_F(DecodePageTest, UnreadableFilesSayWhyAndNotFoundComesOnlyWhenSomethingWasRead) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  std::ofstream(m_dir / "kaputt.png") << "kein Bild";
  std::ofstream(m_dir / "leer.jpg");
  const std::string blank = Picture("weiss.png", Canvas(60, 60));
  auto drop = [&](std::vector<std::string> names) {
    m_messages.clear();
    CStringArray files;
    for (const std::string& name : names) files.Add(name.front() == '/' ? name.c_str() : (m_dir / name).c_str());
    page.m_dlgDatei.DecodeFiles(files);
  };
  drop({"kaputt.png", "leer.jpg"});
  EXPECT_EQ(m_messages, (std::vector<std::string>{
                            "„kaputt.png“ kann nicht gelesen werden: keine Grafikdatei, die gelesen werden kann (BMP, PNG, JPEG, GIF oder TIFF).\n"
                            "„leer.jpg“ kann nicht gelesen werden: die Datei ist leer."}));
  drop({"kaputt.png", blank});
  EXPECT_EQ(m_messages.size(), 2u);
  EXPECT_EQ(m_messages.back(), "Es wurden keine QR Codes erkannt.");
  EXPECT_TRUE(m_decoded.empty());
  EXPECT_EQ(page.m_dlgDatei.m_btnVorschau.m_arGrafiken.GetSize(), 1); // the readable one

  m_messages.clear(); // folders dropped alone: nothing at all
  auto* target = dynamic_cast<wxFileDropTarget*>(page.m_dlgDatei.GetDropTarget());
  ASSERT_NE(target, nullptr);
  wxArrayString folders;
  folders.Add(m_dir.string());
  EXPECT_FALSE(target->OnDropFiles(0, 0, folders));
  EXPECT_TRUE(m_messages.empty());
}

// Real keys through the X server: '(' and blanks are text; a person's lone Tab moves the focus
// and Ctrl+PgDn turns the tab strip, held back only until it is clear no burst follows.
TEST_F(DecodePageTest, ScannedTextsKeepEveryCharacterAndALoneKeyReachesTheWindow) {
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  page.m_wndTabCtrl.m_arSubDlg[0]->SetFocus();
  TypeText("a(b c)d [e]\n");
  EXPECT_TRUE(PumpUntil([&] { return !m_decoded.empty(); }, 1000));
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"Tastatur: a(b c)d [e]"}));
  page.m_dlgBarCodeScanner.OnShowWindow(TRUE, 0);

  wxUIActionSimulator keys;
  wxWindow* before = wxWindow::FindFocus();
  keys.Char(WXK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() != before; }, 1000));
  keys.Char(WXK_PAGEDOWN, wxMOD_RAW_CONTROL); // the focus is on the main tab strip now
  EXPECT_TRUE(PumpUntil([&] { return dialog.GetTabCtrl().GetSelection() == 2; }, 1000));
}

// The second code's keys never reach the open result dialog (whose first entry is a link); it is
// reported once the dialog closes, after the first.
TEST_F(DecodePageTest, ACodeScannedWhileTheResultDialogIsUpFollowsItInOrder) {
  RecordingOpener opener;
  RememberSource("2D Scanner");
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  page.m_fnOnDecoded = nullptr;
  std::vector<std::string> shown;
  auto firstLine = [](wxWindow* result) {
    return static_cast<CDecodeResultTasksDialog*>(result)->GetTasksPane().GetGroups().at(0).tasks.at(0).text.str();
  };
  WhenModalShown([&](wxWindow* first) {
    shown.push_back(firstLine(first));
    TypeText("zweiter Code\n ");
    Pump(300);
    WhenModalShown([&](wxWindow* second) {
      shown.push_back(firstLine(second));
      static_cast<wxDialog*>(second)->EndModal(wxID_CANCEL);
    });
    static_cast<wxDialog*>(first)->EndModal(wxID_CANCEL);
  });
  page.m_wndTabCtrl.m_arSubDlg[0]->SetFocus();
  TypeText("www.example.de\n");
  EXPECT_TRUE(PumpUntil([&] { return shown.size() == 2; }, 5000));
  EXPECT_EQ(shown, (std::vector<std::string>{"www.example.de", "zweiter Code"}));
  EXPECT_TRUE(opener.Calls(0, 300).empty());
}

// The file dialog offers every picture ending, and the real one opens without the toolkit
// complaining (GTK's own dialog: a person's Escape closes it).
TEST_F(DecodePageTest, TheFileDialogOffersEveryEndingAndOpensWithoutToolkitComplaints) {
  CQRCodeDlg dialog;
  CSubDlgDecode& page = OpenDecodePage(dialog);
  SelectTab(page.m_wndTabCtrl, "Datei");
  CString filter;
  SetFileDialogHandler([&](const FileDialogRequest& request) -> std::optional<CStringArray> {
    filter = request.filter;
    return std::nullopt;
  });
  ClickOn(page.m_dlgDatei.GetDlgItem(1009));
  for (const char* ending : {"*.jpeg", "*.tiff", "*.JPG", "*.png"}) EXPECT_GE(filter.Find(ending), 0) << ending;

  SetFileDialogHandler(nullptr);
  int criticals = 0;
  const guint handler = g_log_set_handler("Gtk", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL),
                                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); },
                                          &criticals);
  auto* escape = new wxTimer();
  escape->Bind(wxEVT_TIMER, [](wxTimerEvent&) { wxUIActionSimulator().Char(WXK_ESCAPE); });
  escape->StartOnce(1500);
  ClickOn(page.m_dlgDatei.GetDlgItem(1009));
  Pump(300);
  delete escape;
  g_log_remove_handler("Gtk", handler);
  EXPECT_EQ(criticals, 0);
}
