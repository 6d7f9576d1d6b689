// The "Einlesen" page: a 2D scanner typing, reporting to host handlers, pictures decoded from
// files, the history of reads, and a host's read-in.
#include "HostilePictures.h"
#include "RecordingOpener.h"
#include "TestScanners.h"
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/MessageFilter.h"
#include "results/DecodeResultTasksDialog.h"
#include "results/QRCodeEinlesen.h"
#include "results/VerlaufRecorder.h"
#include "sources/DecodeAhead.h"
#include "sources/DecodeDateiArray.h"

#include <wx/dnd.h>
#include <wx/listctrl.h>
#include <wx/timer.h>

#include <glib.h>

#include <fstream>
#include <sys/wait.h>

using DecodePageTest = PageTest;

// Real keys through the X server, or straight into the event handling for what X cannot type.
TEST_F(DecodePageTest, AScannersKeyBurstsBecomeTastaturResultsAndALoneKeyReachesTheWindow) {
  CSubDlgDecode& page = OpenDecode("2D Scanner");
  auto& catcher = page.m_dlgBarCodeScanner;
  ASSERT_TRUE(catcher.m_bHookInstalled);
  catcher.OnShowWindow(TRUE, 0), catcher.Remove_WinApp_PreTranslateMessage_Function(); // shown twice: still one registration
  EXPECT_FALSE(Is_WinApp_PreTranslateMessage_Function_Added(&catcher));
  catcher.OnShowWindow(TRUE, 0);
  wxWindow* focused = page.m_wndTabCtrl.m_arSubDlg[0];
  focused->SetFocus();
  // Fewer than three characters give nothing; the blank after Enter is swallowed.
  const std::pair<std::string, std::vector<std::string>> bursts[] = {{"abc\n", {"abc"}}, {"ab", {}}, {"a b c\n ", {"a b c"}},
                                                                     {"a(b c)d [e]\n", {"a(b c)d [e]"}}};
  for (const auto& [keys, text] : bursts) {
    m_decoded.clear();
    TypeText(keys);
    PumpUntil([&] { return !m_decoded.empty(); }, text.empty() ? 400 : 1000);
    EXPECT_EQ(std::make_pair(m_decoded, catcher.m_bHookInstalled), std::make_pair(text, text.empty())) << "accepted: no catch";
    catcher.OnShowWindow(TRUE, 0);
  }
  m_decoded.clear();
  for (wxChar c : wxString::FromUTF8("Grüße €")) {
    wxKeyEvent key(wxEVT_CHAR);
    key.m_uniChar = c, key.m_keyCode = c < 128 ? static_cast<int>(c) : static_cast<int>(WXK_NONE);
    key.SetEventObject(focused);
    focused->GetEventHandler()->ProcessEvent(key);
  }
  EXPECT_EQ(Decoded(1, 1000), (std::vector<std::string>{"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC"}));
  EXPECT_EQ(m_symbols, std::vector<std::string>(4, "Tastatur")); // every read
  EXPECT_TRUE(m_messages.empty());
  catcher.OnShowWindow(TRUE, 0);
  // A person's lone Tab moves the focus and Ctrl+PgDn turns the tab strip, held back only until
  // it is clear no burst follows.
  wxUIActionSimulator keys;
  wxWindow* before = wxWindow::FindFocus();
  keys.Char(WXK_TAB);
  EXPECT_TRUE(PumpUntil([&] { return wxWindow::FindFocus() != before; }, 1000));
  keys.Char(WXK_PAGEDOWN, wxMOD_RAW_CONTROL); // the focus is on the main tab strip now
  EXPECT_TRUE(PumpUntil([&] { return m_dialog->GetTabCtrl().GetSelection() == 2; }, 1000));

  ToTab(0); // "Erstellen": the decode page and its source hide
  EXPECT_FALSE(catcher.m_bHookInstalled);
  auto* edit = dynamic_cast<wxTextCtrl*>(m_dialog->GetTabCtrl().m_arSubDlg[0]->GetDlgItem(1001));
  edit->SetFocus(), edit->Clear(), m_decoded.clear();
  TypeText("xyz\n");
  Pump(300);
  EXPECT_EQ(edit->GetValue() + std::to_string(m_decoded.size()), "xyz\n0");

  // A handler that accepts ends the modal main dialog, without the result dialog.
  m_dialog->Hide();
  WhenModalShown([&](wxWindow*) { page.OnQRCodeDecoded(Results({"angenommen"})); });
  EXPECT_EQ(m_dialog->ShowModal(), wxID_OK);
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"angenommen"}));
}

// A host handler that declines leaves the catch on and the result dialog shows. The second code's
// keys never reach the open result dialog (whose first entry is a link); it is reported once the
// dialog closes, after the first.
TEST_F(DecodePageTest, ADeclinedCodeShowsTheResultDialogAndACodeScannedMeanwhileFollowsInOrder) {
  RecordingOpener opener;
  CSubDlgDecode& page = OpenDecode("2D Scanner");
  m_accept = false;
  bool catchOffDuringHandler = true;
  auto recorder = page.m_fnOnDecoded;
  page.m_fnOnDecoded = [&](const CDecodeResultArray* r, const CDTemplateArray<CDecodeGrafikResult>* i) {
    catchOffDuringHandler &= !page.m_dlgBarCodeScanner.m_bHookInstalled;
    return recorder(r, i);
  };
  std::vector<std::string> shown;
  auto firstLine = [](wxWindow* result) {
    EXPECT_EQ(static_cast<wxDialog*>(result)->GetTitle(), "Ergebnis");
    return static_cast<CDecodeResultTasksDialog*>(result)->GetTasksPane().GetGroups().at(0).tasks.at(0).text.str();
  };
  WhenModalShown([&](wxWindow* first) {
    shown.push_back(firstLine(first));
    TypeText("zweiter Code\n ");
    Pump(300);
    WhenModalShown([&](wxWindow* second) { shown.push_back(firstLine(second)), EndModal(second); });
    EndModal(first);
  });
  page.m_wndTabCtrl.m_arSubDlg[0]->SetFocus();
  TypeText("www.example.de\n");
  EXPECT_TRUE(PumpUntil([&] { return shown.size() == 2; }, 5000));
  EXPECT_EQ(shown, (std::vector<std::string>{"www.example.de", "zweiter Code"}));
  EXPECT_EQ(m_decoded, shown);
  EXPECT_TRUE(catchOffDuringHandler && page.m_dlgBarCodeScanner.m_bHookInstalled);
  EXPECT_TRUE(opener.Calls(1, 300).empty()); // waits the 300 ms for a late one
}

TEST_F(DecodePageTest, DateiReadsDropsInOrderSplitsTiffsSaysWhyAFileIsUnreadableAndLeavesNothingBehind) {
  CSubDlgDecode& page = OpenDecode("Datei");
  auto& datei = page.m_dlgDatei;
  auto& previews = datei.m_btnVorschau.m_arGrafiken;
  auto found = [&] { // what each preview found
    std::string texts;
    for (int i = 0; i < previews.GetSize(); ++i)
      texts += (previews[i]->m_arResults.GetSize() ? previews[i]->m_arResults[0]->m_strText.str() : "-") + "|";
    return texts;
  };
  auto files = [&](std::vector<std::string> names) {
    for (std::string& name : names) name = Path(name);
    return Paths(names);
  };
  // The first file takes far longer to read than the others, which may be read beside it.
  GrayImage scan = Noisy(Canvas(2600, 2600, 235), 6, 3);
  Paste(scan, WithQuietZone(RenderCode("erste Datei", 4), 10), 1700, 1900);
  Picture("eins.png", scan), Picture("zwei.png", WithQuietZone(RenderCode("zweite Datei", 4), 10)), Picture("leer.png", Canvas(200, 150));
  Picture("schraeg.png", Rotated(WithQuietZone(RenderCode("schräg", 4), 10), 17));
  CStringArray dropped = files({"eins.png", "leer.png", "zwei.png", "schraeg.png"});
  for (int state : {1, 0}) { // dragging over reports file names without decoding anything
    CDragDropTreeRecord record;
    record.m_nDragState = state, record.m_pFiles = &dropped;
    datei.OnDragDropTree(0, reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(record.m_nResult, 1);
    EXPECT_EQ(m_decoded.size(), state ? 0u : 3u);
  }
  EXPECT_EQ(m_decoded, (std::vector<std::string>{"erste Datei", "zweite Datei", "schräg"}));
  EXPECT_EQ(found(), "erste Datei|-|zweite Datei|schräg|");

  // A multi-page TIFF chosen in the file dialog, by the keyboard user's button.
  std::string convert = "convert";
  for (const std::string text : {"Seite 1", "Seite 2", "Seite 3"})
    convert.append(" ").append(Picture(text.substr(6) + ".png", WithQuietZone(RenderCode(text, 4), 10)));
  const std::string tiff = Path("drei Seiten.TIF");
  ASSERT_EQ(std::system((convert + " -compress lzw '" + tiff + "'").c_str()), 0);
  const int bitmapsBefore = ScannedFilesLeft("TQD");
  FileDialogRequest asked;
  AnswerFileDialog({tiff}, &asked);
  ClickOn(datei.GetDlgItem(1009));
  EXPECT_TRUE(asked.multiple);
  for (const char* ending : {"*.jpeg", "*.tiff", "*.JPG", "*.png"}) EXPECT_GE(asked.filter.Find(ending), 0) << ending;
  EXPECT_EQ(found() + std::to_string(m_decoded.size()), "Seite 1|Seite 2|Seite 3|6");
  EXPECT_EQ(ScannedFilesLeft("TQD"), bitmapsBefore);

  // A drop given up early (an exception on the way) waits for the files in hand, frees what was
  // read and not taken (the sanitizer build sees leaks), and leaves no bitmap of a scan behind.
  std::string temporary;
  {
    CDecodeDateiArray list;
    list.StartAddingDateien(files({"zwei.png", "drei Seiten.TIF", "zwei.png", "zwei.png"}));
    CDecodeAhead decoded(page, list);
    CString file;
    void* handle = nullptr;
    for (int i = 0; i < 2; ++i) {
      ASSERT_TRUE(decoded.Take(i, file, handle) && handle) << i;
      page.FreeDecodeResult(handle);
    }
    temporary = file.str();
  }
  EXPECT_FALSE(fs::exists(temporary));

  // Unreadable files say why; "not found" comes only when something was read.
  std::ofstream(m_dir / "kaputt.png") << "kein Bild", std::ofstream(m_dir / "leer.jpg");
  m_decoded.clear(), m_messages.clear();
  datei.DecodeFiles(files({"kaputt.png", "leer.jpg"}));
  EXPECT_EQ(m_messages, (std::vector<std::string>{
                            "„kaputt.png“ kann nicht gelesen werden: keine Grafikdatei, die gelesen werden kann "
                            "(BMP, PNG, JPEG, GIF oder TIFF).\n"
                            "„leer.jpg“ kann nicht gelesen werden: die Datei ist leer."}));
  datei.DecodeFiles(files({"kaputt.png", "leer.png"}));
  EXPECT_EQ(m_messages.size() == 3 ? m_messages.back() : "", "Es wurden keine QR Codes erkannt.");
  EXPECT_EQ(found() + std::to_string(m_decoded.size()), "-|0"); // the readable one
  m_messages.clear(); // folders dropped alone: nothing at all
  auto* target = dynamic_cast<wxFileDropTarget*>(datei.GetDropTarget());
  ASSERT_NE(target, nullptr);
  EXPECT_FALSE(target->OnDropFiles(0, 0, wxArrayString(1, m_dir.c_str())));
  EXPECT_TRUE(m_messages.empty());

  // A scan beyond the page limit is read up to it, and the user is told.
  Write("tiff-10000-pages.tif", BlankMultiPageTiff(10000, 1));
  datei.DecodeFiles(files({"tiff-10000-pages.tif"}));
  EXPECT_EQ(m_messages, (std::vector<std::string>{"„tiff-10000-pages.tif“ hat mehr als 1000 Seiten; gelesen wurden nur die ersten 1000.",
                                                  "Es wurden keine QR Codes erkannt."}));
  EXPECT_EQ(previews.GetSize(), 1000);
  EXPECT_EQ(ScannedFilesLeft("TQD"), bitmapsBefore);

  // GTK's own file dialog opens without the toolkit complaining; a person's Escape closes it.
  SetFileDialogHandler(nullptr);
  int criticals = 0;
  const guint handler = g_log_set_handler("Gtk", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL),
                                          [](const gchar*, GLogLevelFlags, const gchar*, gpointer count) { ++*static_cast<int*>(count); },
                                          &criticals);
  wxTimer escape;
  escape.Bind(wxEVT_TIMER, [](wxTimerEvent&) { wxUIActionSimulator().Char(WXK_ESCAPE); });
  escape.StartOnce(1500);
  ClickOn(datei.GetDlgItem(1009)), Pump(300);
  g_log_remove_handler("Gtk", handler);
  EXPECT_EQ(criticals, 0);
}

// The history: a read is recorded with its source; the "Verlauf" page finds, copies, deletes and
// exports it; a host's read-in records only when the host asks, and "Aktiv" = 0 records nothing.
TEST_F(DecodePageTest, AReadIsRecordedWithItsSourceAndTheVerlaufPageFindsCopiesExportsAndDeletes) {
  ProcessVerlauf().Clear();
  CSubDlgDecode& decode = OpenDecode("Datei");
  const auto recorded = [] { return ProcessVerlauf().Find().size(); };
  decode.m_bHostReadIn = true;
  decode.OnQRCodeDecoded(Results({"vom Gastprogramm"}));
  EXPECT_EQ(recorded(), 0u);
  SetQRCodeVerlaufAktiv(true);
  decode.OnQRCodeDecoded(Results({"vom Gastprogramm, erlaubt"}));
  SetQRCodeVerlaufAktiv(false);
  decode.m_bHostReadIn = false, GetQRCodeKonfiguration().m_bVerlaufAktiv = 0;
  decode.OnQRCodeDecoded(Results({"abgeschaltet"}));
  GetQRCodeKonfiguration().m_bVerlaufAktiv = 1;
  EXPECT_EQ(recorded(), 1u);
  ProcessVerlauf().Clear();
  decode.OnQRCodeDecoded(Results({"Lieferschein 4711"})), decode.OnQRCodeDecoded(Results({"WIFI:T:WPA;S:Lager;P:geheim;;"}));
  ToTab(3);
  auto& page = *dynamic_cast<CSubDlgVerlauf*>(m_dialog->GetTabCtrl().m_arSubDlg[3]);
  auto& list = *dynamic_cast<wxListCtrl*>(page.FindWindow(1102));
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetItemText(0, 3) + " " + list.GetItemText(1, 1), "WIFI:T:WPA;S:Lager;; Datei") << "no password kept";

  auto* search = dynamic_cast<wxTextCtrl*>(page.FindWindow(1101));
  search->SetValue("liefer"), Pump(100);
  ASSERT_EQ(list.GetItemCount(), 1);
  list.SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  ClickOn(page.FindWindow(1103));
  EXPECT_EQ(ClipboardText(), "Lieferschein 4711");
  const std::string csv = Path("verlauf.csv");
  AnswerFileDialog({csv});
  ClickOn(page.FindWindow(1106));
  const std::string exported = FileText(csv);
  EXPECT_TRUE(exported.starts_with("Zeit,Quelle,Datei,Seite,Symbologie,Text\r\n") &&
              exported.ends_with(",Datei,,,QRCode,Lieferschein 4711\r\n")) << exported;

  ClickOn(page.FindWindow(1104));
  search->SetValue(""), Pump(100);
  EXPECT_EQ(list.GetItemCount(), 1);
  m_answers = {IDYES};
  ClickOn(page.FindWindow(1105));
  EXPECT_EQ(m_messages, std::vector<std::string>{"Soll der ganze Verlauf gelöscht werden?"});
  EXPECT_EQ(list.GetItemCount(), 0);
}

// A host's read-in offers the texts to its actions in order until one takes one, and the dialog
// ends; a scanner's keys reach them without bitmaps; a single source names the dialog.
TEST(HostReadInTest, TextsAreOfferedInOrderToTheFirstTakerAndOneSourceNamesTheDialog) {
  RememberSource("2D Scanner");
  for (const bool scannerOnly : {false, true}) {
    SCOPED_TRACE(scannerOnly);
    std::unique_ptr<CSubDlgDecode> page{CreateCurrentDecoder()};
    if (scannerOnly)
      page->m_bShowWebCam = page->m_bShowScanner = page->m_bShowDatei = page->m_bShowBildschirm = page->m_bShowZwischenablage = false;
    std::vector<std::string> first, second; int bitmaps = -1;
    CQRCodeActionBaseArray actions;
    actions.Add([&](const CString& text, CArray<void*, void*>& seen) {
      return first.push_back(text.str()), bitmaps = seen.GetSize(), text == "Lieferschein 4711";
    });
    actions.Add([&](const CString& text, CArray<void*, void*>&) { return second.push_back(text.str()), text == "zwei"; });
    CQRCodeEinlesen einlesen(*page, actions, nullptr);
    std::string caption;
    WhenModalShown([&](wxWindow* dialog) {
      caption = dialog->GetLabel().utf8_string(), Pump(200);
      CDTemplateArray<CDecodeGrafikResult> images;
      if (scannerOnly) TypeText("Lieferschein 4711\n");
      else page->OnQRCodeDecoded(Results({"eins", "zwei", "drei"}), images);
    });
    einlesen.DoQRCodeEinlesen(); // returns only when the dialog ended
    EXPECT_EQ(caption + " " + std::to_string(bitmaps), scannerOnly ? "2D Scanner 0" : "QR Code 0");
    EXPECT_EQ(first, (scannerOnly ? std::vector<std::string>{"Lieferschein 4711"} : std::vector<std::string>{"eins", "zwei"}));
    EXPECT_EQ(second, scannerOnly ? std::vector<std::string>{} : first) << "the first taker ends the offers";
    wxWindow* parent = page->GetParent(); // kept for its owner, who deletes it, not in the dialog that went
    EXPECT_TRUE(parent && !dynamic_cast<wxDialog*>(parent) && !parent->IsShown());
  }
}

// The shell command: a scanner's keys give a JSON line and 0; closing without a read gives 1.
TEST(HostReadInCommandTest, CodewerkReadPrintsTheFirstReadOrEndsWithOneWhenClosed) {
  const std::string out = (fs::temp_directory_path() / ("codewerk-read-" + std::to_string(getpid()))).string();
  const std::string read = std::string(CODEWERK_APP) + " read --json --source '2D Scanner' > " + out + " & "; // in our settings folder
  // Without a window manager the keys go where the pointer is.
  const std::string window = "w=\\$(xdotool search --sync --onlyvisible --name '^2D Scanner$' | head -1); "
                             "xdotool mousemove --window \\$w 40 40; sleep 0.3; ";
  const std::tuple<const char*, int, const char*> cases[] = {
      {"xdotool type --delay 5 'a(b c)d' && xdotool key Return", 0, "{\"text\":\"a(b c)d\",\"symbology\":\"Tastatur\",\"points\":[]}\n"},
      {"xdotool key Escape", 1, ""}};
  for (const auto& [keys, exitStatus, printed] : cases) {
    const int status = std::system(("timeout 20 sh -c \"" + read + window + keys + "; wait \\$!\"").c_str());
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, exitStatus) << keys;
    EXPECT_EQ(FileText(out), printed);
  }
  fs::remove(out);
}
