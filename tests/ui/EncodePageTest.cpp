// The "Erstellen" page as a user works it: typing, the code it paints, saving and copying, the
// vCard and WLAN forms; and the code control for hosts.
#include "CodeFileChecks.h"
#include "UiTesting.h"
#include "outside/DibServices.h"
#include "outside/TextServices.h"
#include "outside/WxText.h"
#include "shell/QRCodeStatic.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <algorithm>

namespace {

constexpr const char* kMaker = "https://www.brennwald-systemtechnik.de";

class EncodePageTest : public PageTest {
protected:
  void SetUp() override {
    PageTest::SetUp();
    m_page = dynamic_cast<CSubDlgEncodeBase*>(Show(0).GetTabCtrl().m_arSubDlg[0]), Pump(100);
    ASSERT_NE(m_page, nullptr);
  }
  wxTextCtrl* Edit() { return dynamic_cast<wxTextCtrl*>(m_page->GetDlgItem(1001)); }
  wxString SizeLabel() { return dynamic_cast<wxStaticText*>(m_page->GetDlgItem(4000))->GetLabel(); }
  // What a phone camera would read off the screen.
  std::string ReadScreen() { return TheCode(ReadWithZXing(ToGray(CaptureClient(&m_page->m_btnCode)))); }
  // Whether the code, its "Speichern" button and a code picture are shown.
  std::string Shown() {
    return std::string(m_page->m_btnCode.IsShown() ? "code" : "-") + (m_page->GetDlgItem(1002)->IsShown() ? " save" : " -") +
           (m_page->m_hDib ? " dib" : " -");
  }
  static wxTextCtrl* Field(wxWindow* form, const char* name) { return dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName(name, form)); }

  CSubDlgEncodeBase* m_page = nullptr;
};

} // namespace

TEST_F(EncodePageTest, OpensWithTheMakersCodeTypingReEncodesAndATooLongTextSaysSo) {
  EXPECT_EQ(Edit()->GetValue(), kMaker);
  EXPECT_EQ(ReadScreen(), kMaker);
  EXPECT_FALSE(m_page->GetDlgItem(1004)->IsShown()); // "Variable" only for hosts that set it
  Edit()->SetFocus(), Edit()->Clear();
  TypeText("https://www.example.org");
  EXPECT_EQ(SizeLabel(), "25 x 25");
  TypeText("\nZeile 2");
  EXPECT_EQ(ReadScreen(), "https://www.example.org\nZeile 2");
  Edit()->Clear(), Pump(100); // no text, no code: the code and "Speichern" go away
  EXPECT_EQ(Shown() + SizeLabel(), "- - -");

  // A text too long for a code says so in the code area, with the limit.
  Edit()->ChangeValue(wxString(3000, 'a')), m_page->OnEnChange(), Pump(200);
  EXPECT_EQ(m_page->m_strKeinCode, "Der Text ist zu lang für einen QR-Code: 3000 Bytes, höchstens 2953 Bytes mit "
                                   "Fehlerkorrektur L (Bibliothek " + m_page->GetEncoder().GetNameBibliothek() + ").");
  EXPECT_EQ(Shown(), "code - -");
  const GrayImage area = ToGray(CaptureClient(&m_page->m_btnCode)); // dark pixels where the words are
  EXPECT_LT(*std::min_element(area.pixels.begin(), area.pixels.end()), 100);
  Edit()->ChangeValue("kurz"), m_page->OnEnChange();
  EXPECT_TRUE(m_page->m_strKeinCode.IsEmpty());
}

TEST_F(EncodePageTest, KopierenAndSpeichernGiveTheCodeWithItsQuietZoneAtTheSizeAskedFor) {
  const int modules = GetDIBSize(m_page->m_hDib).cx;
  std::string path;
  FileDialogRequest asked;
  for (const std::string format : {"bmp", "png", "svg", "pdf"}) {
    SCOPED_TRACE(format);
    AnswerFileDialog({path = Path("code." + format)}, &asked);
    bool dpiAsked = false;
    if (format != "bmp")
      WhenModalShown([&](wxWindow* dialog) {
        dynamic_cast<wxSpinCtrlDouble*>(wxWindow::FindWindowByName("Groesse", dialog))->SetValue(30);
        if (auto* dpi = dynamic_cast<wxSpinCtrl*>(wxWindow::FindWindowByName("Aufloesung", dialog))) dpi->SetValue(600), dpiAsked = true;
        ClickOn(dialog->FindWindow(wxID_OK));
      });
    ClickOn(m_page->GetDlgItem(1002));
    EXPECT_TRUE(asked.save);
    EXPECT_EQ(asked.filter, "BMP-Dateien(*.bmp)|*.bmp|PNG-Dateien(*.png)|*.png|SVG-Dateien(*.svg)|*.svg|PDF-Dateien(*.pdf)|*.pdf||");
    EXPECT_EQ(dpiAsked, format == "png");
    if (format == "bmp") { // the bitmap of the label's size
      const GrayImage saved = LoadGrayWithStb(path);
      EXPECT_EQ(wxString::Format("%d x %d", saved.width, saved.height), SizeLabel());
      EXPECT_EQ(TheCode(ReadWithZBar(WithQuietZone(saved, 4, 4))), kMaker);
      continue;
    }
    EXPECT_NEAR(CodeFileMillimetres(path), 30.0 * (modules + 8) / modules, 0.1);
    EXPECT_EQ(TheCode(ReadWithZBar(CodeFilePicture(path))), kMaker);
    fs::remove(path);
  }
  WhenModalShown([](wxWindow* dialog) { ClickOn(dialog->FindWindow(wxID_CANCEL)); });
  ClickOn(m_page->GetDlgItem(1002));
  EXPECT_FALSE(fs::exists(path));

  // A file that cannot be written says why and leaves an existing one as it was.
  for (const std::string unwritable : {"/nonexistent/folder/code.bmp", "/proc/version"}) {
    AnswerFileDialog({unwritable});
    const std::string before = FileText(unwritable);
    m_messages.clear();
    ClickOn(m_page->GetDlgItem(1002));
    EXPECT_TRUE(m_messages.size() == 1 && m_messages[0].starts_with("Die Datei „" + unwritable + "“ kann nicht gespeichert werden: "))
        << ::testing::PrintToString(m_messages);
    EXPECT_EQ(FileText(unwritable), before) << unwritable;
  }

  Edit()->SetValue(wxString::FromUTF8("Grüße, Lager 7"));
  ClickOn(m_page->GetDlgItem(1006));
  EXPECT_EQ(ClipboardText(), "Grüße, Lager 7");
  wxClipboardLocker open;
  wxBitmapDataObject picture;
  ASSERT_TRUE(wxTheClipboard->GetData(picture));
  const GrayImage gray = ToGray(picture.GetBitmap().ConvertToImage());
  // The quiet zone ends where the first module begins.
  EXPECT_EQ(std::vector<int>({gray.width, gray.at(31, 31), gray.at(32, 32)}),
            std::vector<int>({(GetDIBSize(m_page->m_hDib).cx + 8) * 8, 255, 0}));
  EXPECT_EQ(TheCode(ReadWithZXing(gray)), "Grüße, Lager 7");
}

TEST_F(EncodePageTest, TheVCardAndWLANFormsFillTheTextAndTheWLANFormReopensFromIt) {
  WhenModalShown([](wxWindow* dialog) {
    const std::pair<const char*, const char*> values[] = {
        {"Vorname", "J\xC3\xBCrgen"}, {"Nachname", "M\xC3\xBCller"}, {"Firma", "B\xC3\xA4" "ckerei"}, {"Strasse", "Hauptstr. 1"},
        {"PLZ", "10115"}, {"Ort", "Berlin"}, {"TelGeschaeft", "030 123"}, {"Mobil", "0171 9"}, {"EMail", "j@example.de"}};
    for (const auto& [name, value] : values) Field(dialog, name)->SetValue(wxString::FromUTF8(value));
    ClickOn(dialog->FindWindow(wxID_OK));
  });
  wxCommandEvent click(wxEVT_BUTTON, 4010);
  m_page->GetEventHandler()->ProcessEvent(click), Pump(200);
  const CString text = FromWx(Edit()->GetValue()); // shown with plain line breaks …
  EXPECT_TRUE(text.view().starts_with("BEGIN:VCARD\nVERSION:") && text.Find('\r') < 0 && text.Find("\nORG:B\xC3\xA4" "ckerei\n") > 0)
      << text;
  EXPECT_EQ(ReadScreen(), SetNewLineText(text, "\r\n").str()); // … and encoded with CR LF, as vCard requires
  // Still a vCard after the user edited it in the field; any other text keeps plain line breaks.
  Edit()->SetFocus(), Edit()->SetInsertionPoint(0);
  TypeText("\n");
  EXPECT_EQ(ReadScreen(), "\r\n" + SetNewLineText(text, "\r\n").str());
  Edit()->ChangeValue("Hallo\nWelt"), Edit()->SetInsertionPointEnd();
  TypeText("!");
  EXPECT_EQ(ReadScreen(), "Hallo\nWelt!");

  // The WLAN form says what is missing.
  WhenModalShown([&](wxWindow* dialog) {
    ClickOn(dialog->FindWindow(wxID_OK)), Pump(200); // no network name yet
    Field(dialog, "SSID")->SetValue("Lager; Halle 2"), Field(dialog, "Passwort")->SetValue("ge:heim");
    ClickOn(dialog->FindWindow(wxID_OK));
  });
  ClickOn(m_page->GetDlgItem(4011)), Pump(200);
  EXPECT_EQ(m_messages, std::vector<std::string>{"Bitte „Netzwerkname (SSID)“ angeben."});
  EXPECT_EQ(Edit()->GetValue(), "WIFI:T:WPA;S:Lager\\; Halle 2;P:ge\\:heim;;");
  EXPECT_EQ(ReadScreen(), Edit()->GetValue().utf8_string());
  std::string reopened;
  WhenModalShown([&](wxWindow* dialog) {
    reopened = Field(dialog, "SSID")->GetValue().utf8_string(), ClickOn(dialog->FindWindow(wxID_CANCEL));
  });
  ClickOn(m_page->GetDlgItem(4011));
  EXPECT_EQ(reopened, "Lager; Halle 2");
}

// The code control for hosts: any size shows a crisp, readable code of its text; no code, a red hatch.
TEST(QRCodeStaticTest, ShowsACrispCodeOfItsTextAtAnySizeOrARedHatchWithout) {
  wxFrame frame(nullptr, wxID_ANY, "host", wxDefaultPosition, wxSize(700, 500));
  wxPanel panel(&frame);
  CQRCodeStatic small(&panel, wxID_ANY, "klein", wxPoint(10, 10), wxSize(60, 60));
  CQRCodeStatic large(&panel, wxID_ANY, "https://www.example.org/gross", wxPoint(80, 10), wxSize(600, 400));
  CQRCodeStatic none(&panel, wxID_ANY, "", wxPoint(10, 420), wxSize(120, 70));
  frame.Show(), Pump(300);
  for (CQRCodeStatic* control : {&small, &large}) {
    const wxImage shown = CaptureClient(control);
    EXPECT_EQ(TheCode(ReadWithZXing(ToGray(shown))), control->GetLabel().ToStdString());
    const unsigned char* rgb = shown.GetData();
    EXPECT_TRUE(std::all_of(rgb, rgb + 3 * shown.GetWidth() * shown.GetHeight(), [](unsigned char c) { return c == 0 || c == 255; }));
  }
  large.SetLabel("neuer Text");
  EXPECT_EQ(TheCode(ReadWithZXing(ToGray(CaptureClient(&large)))), "neuer Text");
  const wxImage shown = CaptureClient(&none);
  int red = 0;
  for (int i = 0; i < shown.GetWidth() * shown.GetHeight(); ++i) red += shown.GetData()[3 * i] > 200 && shown.GetData()[3 * i + 1] < 60;
  EXPECT_GT(red, shown.GetWidth() * 2); // the frame and the hatch lines
  EXPECT_LT(red, shown.GetWidth() * shown.GetHeight() / 2);
  EXPECT_TRUE(ReadWithZXing(ToGray(shown)).empty());
}
