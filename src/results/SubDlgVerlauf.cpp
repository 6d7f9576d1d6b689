#include "results/SubDlgVerlauf.h"

#include "encode/TypedTexts.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "outside/TextServices.h"
#include "outside/WxText.h"
#include "results/VerlaufRecorder.h"

#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

namespace {

constexpr int kSearch = 1101, kList = 1102, kCopy = 1103, kRemove = 1104, kClear = 1105, kExport = 1106;

wxString OneLine(const std::string& text) {
  wxString line = wxString::FromUTF8(text);
  line.Replace("\r", "");
  line.Replace("\n", " ⏎ ");
  return line.Length() > 200 ? line.Left(200) + "…" : line;
}

} // namespace

BOOL CSubDlgVerlauf::OnInitDialog() {
  if (wxListCtrl* list = List()) {
    list->AppendColumn("Zeit", wxLIST_FORMAT_LEFT, 120);
    list->AppendColumn("Quelle", wxLIST_FORMAT_LEFT, 100);
    list->AppendColumn("Symbologie", wxLIST_FORMAT_LEFT, 90);
    list->AppendColumn("Text", wxLIST_FORMAT_LEFT, 320);
  }
  Bind(wxEVT_TEXT, [this](wxCommandEvent&) { Fill(); }, kSearch);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnCopyText(); }, kCopy);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemove(); }, kRemove);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnClear(); }, kClear);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnExport(); }, kExport);
  return CBaseSubDlg::OnInitDialog();
}

void CSubDlgVerlauf::OnShowWindow(BOOL bShow, UINT nStatus) {
  CBaseSubDlg::OnShowWindow(bShow, nStatus);
  if (bShow) Fill();
}

wxListCtrl* CSubDlgVerlauf::List() const { return dynamic_cast<wxListCtrl*>(FindWindow(kList)); }

int CSubDlgVerlauf::Selected() const {
  const wxListCtrl* list = List();
  const long item = list ? list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) : -1;
  return item >= 0 && item < static_cast<long>(m_arShown.size()) ? static_cast<int>(item) : -1;
}

void CSubDlgVerlauf::Fill() {
  auto* search = dynamic_cast<wxTextCtrl*>(FindWindow(kSearch));
  m_arShown = ProcessVerlauf().Find(search ? search->GetValue().utf8_string() : std::string());
  wxListCtrl* list = List();
  if (!list) return;
  list->Freeze();
  list->DeleteAllItems();
  for (std::size_t i = 0; i < m_arShown.size(); ++i) {
    const VerlaufEintrag& e = m_arShown[i];
    const long row = list->InsertItem(static_cast<long>(i), wxString::FromUTF8(LocalDateTimeText(e.time)));
    list->SetItem(row, 1, wxString::FromUTF8(e.page ? e.source + " (Seite " + std::to_string(e.page) + ")" : e.source));
    list->SetItem(row, 2, wxString::FromUTF8(e.symbology));
    list->SetItem(row, 3, OneLine(e.text));
  }
  list->Thaw();
}

void CSubDlgVerlauf::OnCopyText() {
  const int selected = Selected();
  if (selected < 0) return;
  wxClipboardLocker open;
  if (!!open) wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(m_arShown[static_cast<std::size_t>(selected)].text)));
}

void CSubDlgVerlauf::OnRemove() {
  const int selected = Selected();
  if (selected < 0) return;
  ProcessVerlauf().Remove(m_arShown[static_cast<std::size_t>(selected)].id);
  Fill();
}

void CSubDlgVerlauf::OnClear() {
  if (AfxMessageBox("Soll der ganze Verlauf gelöscht werden?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  ProcessVerlauf().Clear();
  Fill();
}

void CSubDlgVerlauf::OnExport() {
  const auto chosen = AskForSaveFile(this, "verlauf.csv", "csv", "CSV-Dateien(*.csv)|*.csv||");
  if (!chosen) return;
  std::string why;
  if (!ProcessVerlauf().ExportCsv(chosen->GetString(), m_arShown, why))
    AfxMessageBox(GetFormatedString("Die Datei „%s“ kann nicht gespeichert werden: %s.", chosen->GetString(), why.c_str()),
                  MB_OK | MB_ICONERROR);
}
