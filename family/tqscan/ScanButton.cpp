#include "outside/PopupMenu.h"
#include "outside/Scanning.h"
#include "outside/WxText.h"

#include <wx/button.h>
#include <wx/menu.h>

namespace {

constexpr int kFirstAuswahl = 1, kNeuSuchen = 99;

} // namespace

CString DescribeAuswahl(const ScanAuswahl& auswahl, const std::vector<ScannerInfo>& scanners) {
  CString label = auswahl.device;
  for (const ScannerInfo& scanner : scanners)
    if (scanner.name.str() == auswahl.device.str()) label = scanner.label;
  return label + " – " + ScanVorlageText(auswahl.vorlage);
}

std::vector<ScanAuswahl> AuswahlListe(const std::vector<ScannerInfo>& scanners, const CString& options) {
  std::vector<ScanAuswahl> list;
  for (const ScannerInfo& scanner : scanners) {
    const std::pair<bool, ScanVorlage> kinds[] = {
        {scanner.flatbed, ScanVorlage::Flachbett}, {scanner.feeder, ScanVorlage::Einzug}, {scanner.duplex, ScanVorlage::EinzugBeidseitig}};
    for (const auto& [offered, vorlage] : kinds)
      if (offered) list.push_back(ScanAuswahl{scanner.name, vorlage, options});
  }
  return list;
}

CScanAuswahlButton::CScanAuswahlButton(CString program) : m_strProgram(std::move(program)) {}

CScanAuswahlButton::~CScanAuswahlButton() { Detach(); }

void CScanAuswahlButton::Attach(wxButton* scan, wxButton* dropDown) {
  Detach();
  m_pScan = scan;
  m_pDropDown = dropDown;
  if (m_pDropDown) {
    m_pDropDown->Bind(wxEVT_BUTTON, &CScanAuswahlButton::OnDropDown, this);
    m_pDropDown->SetToolTip(ToWx("Scanner und Vorlage wählen"));
  }
  // The menu key or a right click on the scan button offers the same choice.
  if (m_pScan) m_pScan->Bind(wxEVT_CONTEXT_MENU, &CScanAuswahlButton::OnContextMenu, this);
  SetButton();
}

void CScanAuswahlButton::Detach() {
  if (m_pDropDown) m_pDropDown->Unbind(wxEVT_BUTTON, &CScanAuswahlButton::OnDropDown, this);
  if (m_pScan) m_pScan->Unbind(wxEVT_CONTEXT_MENU, &CScanAuswahlButton::OnContextMenu, this);
  m_pScan = nullptr;
  m_pDropDown = nullptr;
}

void CScanAuswahlButton::SetButton() {
  if (!m_pScan) return;
  const ScanAuswahl auswahl = ScanAuswahl::Lade(m_strProgram);
  CString label = "von Scanner";
  if (!auswahl.device.IsEmpty()) label += "\n" + DescribeAuswahl(auswahl, KnownScanners());
  if (m_pScan->GetLabel() != ToWx(label)) m_pScan->SetLabel(ToWx(label));
}

void CScanAuswahlButton::FillAuswahl(const std::vector<ScannerInfo>& scanners) {
  const ScanAuswahl remembered = ScanAuswahl::Lade(m_strProgram);
  m_arAuswahl = AuswahlListe(scanners, remembered.options);
  m_nAuswahl = -1;
  for (std::size_t i = 0; i < m_arAuswahl.size(); ++i)
    if (m_arAuswahl[i].device.str() == remembered.device.str() && m_arAuswahl[i].vorlage == remembered.vorlage)
      m_nAuswahl = static_cast<int>(i);
}

void CScanAuswahlButton::SetAuswahl(int index) {
  if (index < 0 || index >= static_cast<int>(m_arAuswahl.size())) return;
  m_nAuswahl = index;
  m_arAuswahl[static_cast<std::size_t>(index)].Sichere(m_strProgram);
  SetButton();
}

void CScanAuswahlButton::ShowAuswahlMenu() {
  wxWindow* owner = m_pDropDown ? m_pDropDown.get() : m_pScan.get();
  if (!owner) return;
  for (bool searchAgain = false;; searchAgain = true) {
    FillAuswahl(GetScanners(owner->GetParent(), searchAgain));
    wxMenu menu;
    const std::vector<ScannerInfo> scanners = KnownScanners();
    for (std::size_t i = 0; i < m_arAuswahl.size(); ++i) {
      menu.AppendRadioItem(kFirstAuswahl + static_cast<int>(i), ToWx(DescribeAuswahl(m_arAuswahl[i], scanners)));
      menu.Check(kFirstAuswahl + static_cast<int>(i), static_cast<int>(i) == m_nAuswahl);
    }
    if (!m_arAuswahl.empty()) menu.AppendSeparator();
    menu.Append(kNeuSuchen, ToWx("Scanner neu suchen"));
    AddMenuEntries(menu);
    const wxPoint at = owner->ClientToScreen(wxPoint(0, owner->GetSize().y));
    const int chosen = static_cast<int>(MFCNextBaseTrackPopupMenu(menu, at.x, at.y, owner));
    if (chosen == kNeuSuchen) continue;
    if (chosen >= kFirstAuswahl && chosen < kFirstAuswahl + static_cast<int>(m_arAuswahl.size())) SetAuswahl(chosen - kFirstAuswahl);
    else if (chosen >= 100) OnMenuEntry(chosen);
    return;
  }
}

void CScanAuswahlButton::OnDropDown(wxCommandEvent&) { ShowAuswahlMenu(); }

void CScanAuswahlButton::OnContextMenu(wxContextMenuEvent&) { ShowAuswahlMenu(); }
