// The "Erstellen" page as a user works it: typing, the code it paints, saving, the vCard dialog.
#include "CodeFileChecks.h"
#include "CodeReaders.h"
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "encode/SubDlgEncode.h"
#include "outside/DibServices.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "outside/TextServices.h"
#include "outside/VCard.h"
#include "outside/WxText.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {

class EncodePageTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dialog.CreateFromTemplate());
    m_dialog.OnInitDialog();
    m_dialog.Show();
    Pump(300);
    m_page = dynamic_cast<CSubDlgEncodeBase*>(m_dialog.GetTabCtrl().m_arSubDlg[0]);
    ASSERT_NE(m_page, nullptr);
  }
  void TearDown() override { SetFileDialogHandler(nullptr); }

  wxTextCtrl* Edit() { return dynamic_cast<wxTextCtrl*>(m_page->GetDlgItem(1001)); }
  wxString SizeLabel() { return dynamic_cast<wxStaticText*>(m_page->GetDlgItem(4000))->GetLabel(); }
  // What a phone camera would read off the screen.
  std::vector<ReadCode> ReadScreen() { return ReadWithZXing(ToGray(CaptureClient(&m_page->m_btnCode))); }

  static std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
  }

  CQRCodeDlg m_dialog;
  CSubDlgEncodeBase* m_page = nullptr;
  std::vector<std::string> m_messages;
};

} // namespace

TEST_F(EncodePageTest, OpensWithTheMakersAddressAndItsCode) {
  EXPECT_EQ(Edit()->GetValue(), "https://www.brennwald-systemtechnik.de");
  ASSERT_NE(m_page->m_hDib, nullptr);
  const auto codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "https://www.brennwald-systemtechnik.de");
  EXPECT_FALSE(m_page->GetDlgItem(1004)->IsShown()); // "Variable" only for hosts that set it
  SaveScreenshot(&m_dialog, "encode-page");
}

TEST_F(EncodePageTest, TypingReEncodesAndThePaintedCodeReadsBackWithLineBreaks) {
  Edit()->SetFocus();
  Edit()->Clear();
  TypeText("https://www.example.org");
  EXPECT_EQ(SizeLabel(), "25 x 25");
  auto codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "https://www.example.org");

  TypeText("\nZeile 2");
  codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "https://www.example.org\nZeile 2");

  Edit()->Clear(); // no text, no code: the code and "Speichern" go away
  Pump(100);
  EXPECT_EQ(m_page->m_hDib, nullptr);
  EXPECT_FALSE(m_page->m_btnCode.IsShown());
  EXPECT_FALSE(m_page->GetDlgItem(1002)->IsShown());
  EXPECT_EQ(SizeLabel(), "");
}

TEST_F(EncodePageTest, SpeichernWritesTheBitmapOfTheLabelsSize) {
  const std::string path = (std::filesystem::temp_directory_path() / ("codewerk-save-" + std::to_string(getpid()) + ".bmp")).string();
  FileDialogRequest asked;
  SetFileDialogHandler([&](const FileDialogRequest& request) -> std::optional<CStringArray> {
    asked = request;
    CStringArray paths;
    paths.Add(path.c_str());
    return paths;
  });
  ClickOn(m_page->GetDlgItem(1002));
  EXPECT_TRUE(asked.save);
  const GrayImage saved = LoadGrayWithStb(path);
  EXPECT_EQ(wxString::Format("%d x %d", saved.width, saved.height), SizeLabel());
  const auto codes = ReadWithZBar(WithQuietZone(saved, 4, 4));
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "https://www.brennwald-systemtechnik.de");
  std::filesystem::remove(path);
}

TEST_F(EncodePageTest, TheVCardDialogFillsTheTextWithAVCard) {
  WhenModalShown([](wxWindow* dialog) {
    const std::pair<const char*, const char*> values[] = {
        {"Vorname", "J\xC3\xBCrgen"}, {"Nachname", "M\xC3\xBCller"}, {"Firma", "B\xC3\xA4" "ckerei"},
        {"Strasse", "Hauptstr. 1"},   {"PLZ", "10115"},               {"Ort", "Berlin"},
        {"TelGeschaeft", "030 123"},  {"Mobil", "0171 9"},            {"EMail", "j@example.de"}};
    for (const auto& [name, value] : values)
      dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName(name, dialog))->SetValue(wxString::FromUTF8(value));
    SaveScreenshot(dialog, "vcard-dialog");
    ClickOn(dialog->FindWindow(wxID_OK));
  });
  wxCommandEvent click(wxEVT_BUTTON, 4010);
  m_page->GetEventHandler()->ProcessEvent(click);
  Pump(200);

  const CString text = FromWx(Edit()->GetValue());
  EXPECT_EQ(text.Find('\r'), -1); // shown with plain line breaks …
  CStringArray lines;
  BreakLine(SetNewLineText(text, "\n"), lines);
  CVCardReader reader;
  ASSERT_TRUE(IsVCard(lines, reader));
  CBaseKunde contact;
  reader.GetAsKunde(contact);
  EXPECT_EQ(contact.m_strNachname, "M\xC3\xBCller");
  EXPECT_EQ(contact.m_strFirma, "B\xC3\xA4" "ckerei");
  auto codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, SetNewLineText(text, "\r\n").str()); // … and encoded with CR LF, as vCard requires
  SaveScreenshot(&m_dialog, "encode-page-vcard");

  // Still a vCard after the user edited it in the field; any other text keeps plain line breaks.
  Edit()->SetFocus();
  Edit()->SetInsertionPoint(0);
  TypeText("\n");
  codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "\r\n" + SetNewLineText(text, "\r\n").str());
  Edit()->ChangeValue("Hallo\nWelt");
  Edit()->SetInsertionPointEnd();
  TypeText("!");
  codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "Hallo\nWelt!");
}

TEST(EncodePageHostTest, TheVariableButtonCallsTheHostsCallable) {
  CQRCodeDlg dialog;
  ASSERT_TRUE(dialog.CreateFromTemplate());
  CSubDlgEncode_ZInt page;
  std::vector<int> calls;
  page.m_fnVariable = [&](CSubDlgEncodeBase* p, int button, int edit) {
    EXPECT_EQ(p, &page);
    calls = {button, edit};
  };
  ASSERT_TRUE(page.Create(page.m_lpszTemplate, &dialog));
  dialog.Show();
  Pump(200);
  ASSERT_TRUE(page.GetDlgItem(1004)->IsShown());
  ClickOn(page.GetDlgItem(1004));
  EXPECT_EQ(calls, (std::vector<int>{1004, 1001}));
}

// Failures say what happened: a text too long for a code says so in the code area with the limit,
// a file that cannot be written says why and leaves an existing one as it was.
TEST_F(EncodePageTest, ATooLongTextAndAnUnwritableFileSayWhy) {
  const MessageBoxHandler old = SetMessageBoxHandler([this](const CString& text, UINT) {
    m_messages.push_back(text.str());
    return IDOK;
  });
  Edit()->SetFocus();
  Edit()->ChangeValue(wxString(3000, 'a'));
  m_page->OnEnChange();
  Pump(200);
  EXPECT_EQ(m_page->m_strKeinCode, "Der Text ist zu lang für einen QR-Code: 3000 Bytes, höchstens 2953 Bytes mit "
                                   "Fehlerkorrektur L (Bibliothek " + m_page->GetEncoder().GetNameBibliothek() + ").");
  EXPECT_TRUE(m_page->m_btnCode.IsShown());
  EXPECT_FALSE(m_page->GetDlgItem(1002)->IsShown());
  SaveScreenshot(&m_dialog, "encode-page-text-too-long");
  // The code area shows the sentence: dark pixels where the words are, on white.
  const GrayImage area = ToGray(CaptureClient(&m_page->m_btnCode));
  EXPECT_LT(*std::min_element(area.pixels.begin(), area.pixels.end()), 100);

  Edit()->ChangeValue("kurz");
  m_page->OnEnChange();
  EXPECT_TRUE(m_page->m_strKeinCode.IsEmpty());
  const std::string kept = (std::filesystem::temp_directory_path() / ("codewerk-kept-" + std::to_string(getpid()))).string();
  for (const std::string& path : {std::string("/nonexistent/folder/code.bmp"), std::string("/proc/version")}) {
    SetFileDialogHandler([&](const FileDialogRequest&) -> std::optional<CStringArray> {
      CStringArray paths;
      paths.Add(path.c_str());
      return paths;
    });
    const std::string before = ReadAll(path);
    m_messages.clear();
    ClickOn(m_page->GetDlgItem(1002));
    ASSERT_EQ(m_messages.size(), 1u) << path;
    EXPECT_EQ(m_messages[0].rfind("Die Datei „" + path + "“ kann nicht gespeichert werden: ", 0), 0u) << m_messages[0];
    EXPECT_EQ(ReadAll(path), before) << path;
  }
  SetMessageBoxHandler(old);
}

TEST_F(EncodePageTest, KopierenPutsTheCodeWithItsQuietZoneAndTheTextOnTheClipboard) {
  Edit()->SetValue(wxString::FromUTF8("Grüße, Lager 7"));
  ClickOn(m_page->GetDlgItem(1006));
  wxClipboardLocker open;
  ASSERT_TRUE(!!open);
  wxTextDataObject text;
  ASSERT_TRUE(wxTheClipboard->GetData(text));
  EXPECT_EQ(text.GetText().utf8_string(), "Grüße, Lager 7");
  wxBitmapDataObject picture;
  ASSERT_TRUE(wxTheClipboard->GetData(picture));
  const GrayImage gray = ToGray(picture.GetBitmap().ConvertToImage());
  const int modules = GetDIBSize(m_page->m_hDib).cx;
  EXPECT_EQ(gray.width, (modules + 8) * 8);
  EXPECT_EQ(gray.at(8 * 4 - 1, 8 * 4 - 1), 255); // the quiet zone ends where the first module begins
  EXPECT_EQ(gray.at(8 * 4, 8 * 4), 0);
  const auto codes = ReadWithZXing(gray);
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "Grüße, Lager 7");
}

TEST_F(EncodePageTest, SpeichernWritesPngSvgAndPdfAtTheSizeAskedForAndNothingWhenItIsCancelled) {
  const std::string base = (std::filesystem::temp_directory_path() / ("codewerk-save-" + std::to_string(getpid()))).string();
  std::string path;
  SetFileDialogHandler([&](const FileDialogRequest& request) -> std::optional<CStringArray> {
    EXPECT_EQ(request.filter, "BMP-Dateien(*.bmp)|*.bmp|PNG-Dateien(*.png)|*.png|SVG-Dateien(*.svg)|*.svg|PDF-Dateien(*.pdf)|*.pdf||");
    CStringArray paths;
    paths.Add(path.c_str());
    return paths;
  });
  const int modules = GetDIBSize(m_page->m_hDib).cx;
  for (const char* format : {"png", "svg", "pdf"}) {
    path = base + "." + format;
    bool dpiAsked = false;
    WhenModalShown([&](wxWindow* dialog) {
      dynamic_cast<wxSpinCtrlDouble*>(wxWindow::FindWindowByName("Groesse", dialog))->SetValue(30);
      if (auto* dpi = dynamic_cast<wxSpinCtrl*>(wxWindow::FindWindowByName("Aufloesung", dialog))) dpi->SetValue(600), dpiAsked = true;
      if (std::string(format) == "png") SaveScreenshot(dialog, "code-size-dialog");
      ClickOn(dialog->FindWindow(wxID_OK));
    });
    ClickOn(m_page->GetDlgItem(1002));
    EXPECT_EQ(dpiAsked, std::string(format) == "png") << format;
    EXPECT_NEAR(CodeFileMillimetres(path), 30.0 * (modules + 8) / modules, 0.1) << format;
    const auto codes = ReadWithZBar(CodeFilePicture(path));
    ASSERT_EQ(codes.size(), 1u) << format;
    EXPECT_EQ(codes[0].text, "https://www.brennwald-systemtechnik.de");
    std::filesystem::remove(path);
  }
  path = base + ".pdf";
  WhenModalShown([](wxWindow* dialog) { ClickOn(dialog->FindWindow(wxID_CANCEL)); });
  ClickOn(m_page->GetDlgItem(1002));
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(EncodePageTest, TheWLANFormFillsTheTextSaysWhatIsMissingAndReopensFromItsText) {
  std::vector<std::string> messages;
  const MessageBoxHandler old = SetMessageBoxHandler([&](const CString& text, UINT) {
    messages.push_back(text.str());
    return IDOK;
  });
  WhenModalShown([&](wxWindow* dialog) {
    ClickOn(dialog->FindWindow(wxID_OK)); // no network name yet
    Pump(200);
    dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("SSID", dialog))->SetValue("Lager; Halle 2");
    dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("Passwort", dialog))->SetValue("ge:heim");
    SaveScreenshot(dialog, "wlan-form");
    ClickOn(dialog->FindWindow(wxID_OK));
  });
  ClickOn(m_page->GetDlgItem(4011));
  Pump(200);
  EXPECT_EQ(messages, std::vector<std::string>{"Bitte „Netzwerkname (SSID)“ angeben."});
  EXPECT_EQ(Edit()->GetValue(), "WIFI:T:WPA;S:Lager\\; Halle 2;P:ge\\:heim;;");
  const auto codes = ReadScreen();
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0].text, "WIFI:T:WPA;S:Lager\\; Halle 2;P:ge\\:heim;;");
  std::string reopened;
  WhenModalShown([&](wxWindow* dialog) {
    reopened = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("SSID", dialog))->GetValue().utf8_string();
    ClickOn(dialog->FindWindow(wxID_CANCEL));
  });
  ClickOn(m_page->GetDlgItem(4011));
  EXPECT_EQ(reopened, "Lager; Halle 2");
  SetMessageBoxHandler(old);
}
