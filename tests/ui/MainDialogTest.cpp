// The main dialog and its tab control: pages chosen by the settings, tooltips, the close check.
#include "UiTesting.h"
#include "config/QRCodeKonfiguration.h"
#include "encode/SubDlgEncode.h"
#include "outside/MessageBox.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/frame.h>
#include <wx/uiaction.h>

#include <gtk/gtk.h>

#include <filesystem>
#include <fstream>

namespace {

// A page that asks to be brought to the front and then refuses (or allows) the closing.
class VetoPage : public CBaseSubDlg {
public:
  VetoPage() : CBaseSubDlg("IDD_SUBDLG_ENCODE") {}
  bool NeedSetActiveTabPrepareForCloseDialog() override { return true; }
  bool PrepareForCloseDialog() override {
    ++asked;
    return allow;
  }
  void OnShowWindow(BOOL show, UINT) override { shows.push_back(show != 0); }
  bool allow = false;
  int asked = 0;
  std::vector<bool> shows;
};

class MainDialogTest : public ::testing::Test {
protected:
  void SetUp() override { m_saved = GetQRCodeKonfiguration(); }
  void TearDown() override { GetQRCodeKonfiguration() = m_saved; }

  // The dialog made and initialised as DoModal would, but shown without a modal loop.
  static void Open(CQRCodeDlg& dialog) {
    ASSERT_TRUE(dialog.CreateFromTemplate());
    dialog.OnInitDialog();
    dialog.Show();
    Pump(300);
  }

  CQRCodeKonfiguration m_saved;
};

} // namespace

TEST_F(MainDialogTest, TheSettingsChooseTheEncodePageAndItsTooltip) {
  for (int encoder : {0, 1, 7}) {
    GetQRCodeKonfiguration().m_eEncoder = static_cast<T_QRCodeKonfiguration_Encoder>(encoder);
    CQRCodeDlg dialog;
    Open(dialog);
    CBaseSubDlgTabCtrl& tabs = dialog.GetTabCtrl();
    EXPECT_EQ(dialog.GetTitle(), "TQ QR Code");
    ASSERT_EQ(tabs.GetPageCount(), 4);
    EXPECT_EQ(tabs.GetTabLabel(3), "Verlauf");
    EXPECT_EQ(tabs.GetTabLabel(2), "Konfiguration");
    EXPECT_EQ(tabs.m_arSubDlg[2]->m_strToolTip, "Einstellungen einsehen/ändern");
    EXPECT_EQ(tabs.GetTabLabel(0), "Erstellen");
    auto* page = dynamic_cast<CSubDlgEncodeBase*>(tabs.m_arSubDlg[0]);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetEncoder().GetNameBibliothek(), encoder == 0 ? "QREncode" : "ZInt");
    EXPECT_EQ(page->m_strToolTip, encoder == 0 ? "Bibliothek: QRCode" : "Bibliothek: ZInt");
    EXPECT_TRUE(page->IsPageShown());

    // The tooltip is the tab's own: over the page there is none.
    GtkWidget* tab = gtk_notebook_get_tab_label(GTK_NOTEBOOK(tabs.GetWindow()->GetHandle()), page->GetHandle());
    ASSERT_NE(tab, nullptr);
    gchar* tip = gtk_widget_get_tooltip_text(tab);
    EXPECT_STREQ(tip, page->m_strToolTip.GetString());
    g_free(tip);
    EXPECT_EQ(tabs.GetWindow()->GetToolTip(), nullptr);
    EXPECT_EQ(page->GetToolTip(), nullptr);
    SaveScreenshot(&dialog, "main-dialog-encoder-" + std::to_string(encoder));
  }
}

TEST_F(MainDialogTest, ThePageThatWantsToAskIsBroughtToTheFrontAndMayVeto) {
  CQRCodeDlg dialog;
  Open(dialog);
  VetoPage veto;
  ASSERT_TRUE(veto.AddToTabCtrl(dialog.GetTabCtrl(), "Veto", ""));
  EXPECT_EQ(veto.m_strToolTip, "Veto"); // an empty tooltip means the label
  Pump(100);
  EXPECT_EQ(dialog.GetTabCtrl().GetSelection(), 0);
  EXPECT_FALSE(dialog.PrepareForCloseDialog());
  EXPECT_EQ(dialog.GetTabCtrl().GetSelection(), dialog.GetTabCtrl().GetPageCount() - 1); // the veto page
  EXPECT_EQ(veto.shows, (std::vector<bool>{true}));

  // A modal dialog whose page refuses stays open; once it agrees, the dialog closes.
  int result = 0;
  WhenModalShown([&](wxWindow* shown) {
    static_cast<wxDialog*>(shown)->EndModal(wxID_OK);
    Pump(200);
    EXPECT_TRUE(shown->IsShown());
    veto.allow = true;
    static_cast<wxDialog*>(shown)->EndModal(wxID_OK);
  });
  dialog.Hide();
  result = dialog.ShowModal();
  EXPECT_EQ(result, wxID_OK);
  EXPECT_GE(veto.asked, 3);
  dialog.GetTabCtrl().ReleasePages(); // the veto page dies before the dialog
}

TEST_F(MainDialogTest, ASingleTabCanHideItsStrip) {
  wxFrame frame(nullptr, wxID_ANY, "tabs");
  CBaseSubDlgTabCtrl tabs;
  ASSERT_TRUE(tabs.Create(&frame, wxRect(0, 0, 400, 300)));
  EXPECT_EQ(tabs.GetWindow()->GetId(), 1000);
  CBaseSubDlgTabCtrl second;
  ASSERT_TRUE(second.Create(&frame, wxRect(0, 0, 10, 10)));
  EXPECT_EQ(second.GetWindow()->GetId(), 1001); // 1000 is taken
  CSubDlgEncode_ZInt page;
  page.AddToTabCtrl(tabs, "Nur einer", "");
  tabs.HideSingleTab(true);
  frame.Show();
  Pump(200);
  const int pageTopWithoutStrip = page.GetPosition().y;
  tabs.HideSingleTab(false);
  Pump(200);
  EXPECT_LT(pageTopWithoutStrip, page.GetPosition().y);
  tabs.ReleasePages();
}

// A settings file that cannot be read is told once, when the main dialog opens: the defaults are
// in use, and the next dialog of the same run says nothing more.
TEST_F(MainDialogTest, ABrokenSettingsFileIsToldOnceWhenTheDialogOpens) {
  std::vector<std::string> messages;
  const MessageBoxHandler old = SetMessageBoxHandler([&](const CString& text, UINT) {
    messages.push_back(text.str());
    return IDOK;
  });
  CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  const std::string path = settings.GetStammdatenName().str();
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << "\x01\x02 kein Text";
  settings.Laden();
  for (int i = 0; i < 2; ++i) {
    CQRCodeDlg dialog;
    Open(dialog);
  }
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "Die Einstellungsdatei „" + path + "“ kann nicht gelesen werden (Zeile 1 ist keine Einstellung). "
                         "Es gelten die Voreinstellungen.");
  std::filesystem::remove(path);
  settings.Laden();
  SetMessageBoxHandler(old);
}
