// The history of reads in the windows: a read is recorded with its source, the "Verlauf" page
// finds, copies, deletes and exports it; a host's read-in records only when the host asks, and
// "H"/"Aktiv" = 0 records nothing.
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "results/VerlaufRecorder.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

class VerlaufPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_savedMessages = SetMessageBoxHandler([this](const CString& text, UINT) {
      m_messages.push_back(text.str());
      return IDYES;
    });
    ProcessVerlauf().Clear();
    ASSERT_TRUE(m_dialog.CreateFromTemplate());
    m_dialog.OnInitDialog();
    m_dialog.Show();
    Pump(200);
    m_decode = dynamic_cast<CSubDlgDecode*>(m_dialog.GetTabCtrl().m_arSubDlg[1]);
    m_decode->m_fnOnDecoded = [](const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*) { return true; };
  }
  void TearDown() override {
    SetMessageBoxHandler(m_savedMessages);
    SetFileDialogHandler(nullptr);
    SetQRCodeVerlaufAktiv(false);
    GetQRCodeKonfiguration().m_bVerlaufAktiv = 1;
  }

  void Report(const char* text) {
    CDecodeResultArray results;
    CArray<POINT, POINT> points;
    results.AddDecodeResult(text, "QRCode", points);
    CDTemplateArray<CDecodeGrafikResult> noImages(1);
    m_decode->OnQRCodeDecoded(results, noImages);
  }
  CSubDlgVerlauf& ShowVerlauf() {
    m_dialog.GetTabCtrl().SetSelection(3);
    Pump(200);
    return *dynamic_cast<CSubDlgVerlauf*>(m_dialog.GetTabCtrl().m_arSubDlg[3]);
  }
  static wxListCtrl& List(CSubDlgVerlauf& page) { return *dynamic_cast<wxListCtrl*>(page.FindWindow(1102)); }

  CQRCodeDlg m_dialog;
  CSubDlgDecode* m_decode = nullptr;
  std::vector<std::string> m_messages;
  MessageBoxHandler m_savedMessages;
};

} // namespace

TEST_F(VerlaufPageTest, AReadIsListedWithItsSourceAndTheVerlaufPageFindsCopiesDeletesAndExports) {
  ASSERT_EQ(m_dialog.GetTabCtrl().GetTabLabel(3), "Verlauf");
  m_dialog.GetTabCtrl().SetSelection(1);
  Pump(200);
  ASSERT_GE(SelectTab(m_decode->m_wndTabCtrl, "Datei"), 0);
  Report("Lieferschein 4711");
  Report("WIFI:T:WPA;S:Lager;P:geheim;;");
  CSubDlgVerlauf& page = ShowVerlauf();
  wxListCtrl& list = List(page);
  ASSERT_EQ(list.GetItemCount(), 2);
  EXPECT_EQ(list.GetItemText(0, 3), "WIFI:T:WPA;S:Lager;;") << "no password kept";
  EXPECT_EQ(list.GetItemText(1, 1), "Datei");
  SaveScreenshot(&m_dialog, "verlauf-page");

  dynamic_cast<wxTextCtrl*>(page.FindWindow(1101))->SetValue("liefer");
  Pump(100);
  ASSERT_EQ(list.GetItemCount(), 1);
  list.SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  ClickOn(page.FindWindow(1103));
  {
    wxClipboardLocker open;
    wxTextDataObject text;
    ASSERT_TRUE(wxTheClipboard->GetData(text));
    EXPECT_EQ(text.GetText(), "Lieferschein 4711");
  }
  const std::string csv = (std::filesystem::temp_directory_path() / ("codewerk-verlauf-" + std::to_string(getpid()) + ".csv")).string();
  SetFileDialogHandler([&](const FileDialogRequest&) -> std::optional<CStringArray> {
    CStringArray paths;
    paths.Add(csv.c_str());
    return paths;
  });
  ClickOn(page.FindWindow(1106));
  std::ifstream exported(csv);
  std::string header, row;
  std::getline(exported, header), std::getline(exported, row);
  EXPECT_EQ(header, "Zeit,Quelle,Datei,Seite,Symbologie,Text\r");
  EXPECT_NE(row.find(",Datei,,,QRCode,Lieferschein 4711"), std::string::npos) << row;
  std::filesystem::remove(csv);

  ClickOn(page.FindWindow(1104));
  dynamic_cast<wxTextCtrl*>(page.FindWindow(1101))->SetValue("");
  Pump(100);
  EXPECT_EQ(list.GetItemCount(), 1);
  ClickOn(page.FindWindow(1105));
  EXPECT_EQ(m_messages, std::vector<std::string>{"Soll der ganze Verlauf gelöscht werden?"});
  EXPECT_EQ(list.GetItemCount(), 0);
}

TEST_F(VerlaufPageTest, AHostsReadInRecordsOnlyWhenSwitchedOnAndTheSettingSwitchesAllOff) {
  m_decode->m_bHostReadIn = true;
  Report("vom Gastprogramm");
  EXPECT_TRUE(ProcessVerlauf().Find().empty());
  SetQRCodeVerlaufAktiv(true);
  Report("vom Gastprogramm, erlaubt");
  EXPECT_EQ(ProcessVerlauf().Find().size(), 1u);
  m_decode->m_bHostReadIn = false;
  GetQRCodeKonfiguration().m_bVerlaufAktiv = 0;
  Report("abgeschaltet");
  EXPECT_EQ(ProcessVerlauf().Find().size(), 1u);
}
