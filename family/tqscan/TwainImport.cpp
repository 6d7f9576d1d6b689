// The import: scans into page files it lists until its owner takes them; shown, it is a small
// dialog of its own to choose the device, the source and the resolution.
#include "ScanServices.h"
#include "outside/WxText.h"

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include <cstdio>

namespace {

constexpr int kScannen = 1, kEinstellungen = 100;

} // namespace

CTwainImport::CTwainImport(const char* program, int, wxWindow*) : m_strProgram(program) {}

CTwainImport::~CTwainImport() { RemovePageFiles(); }

BOOL CTwainImport::CreateImport(wxWindow* parent) {
  if (!wxDialog::Create(parent, wxID_ANY, ToWx("Scannen"), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER))
    return FALSE;
  BuildControls();
  Hide();
  return TRUE;
}

void CTwainImport::BuildControls() {
  auto* grid = new wxFlexGridSizer(2, wxSize(FromDIP(8), FromDIP(6)));
  grid->AddGrowableCol(1);
  auto row = [&](const char* label, wxWindow* control) {
    grid->Add(new wxStaticText(this, wxID_ANY, ToWx(label)), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(control, 1, wxEXPAND);
  };
  m_pGeraet = new wxChoice(this, wxID_ANY);
  m_pVorlage = new wxChoice(this, wxID_ANY);
  m_pDpi = new wxSpinCtrl(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 0, 1200, 0);
  m_pDpi->SetToolTip(ToWx("0: die Auflösung, die der Scanner von sich aus nimmt"));
  row("Scanner:", m_pGeraet);
  row("Vorlage:", m_pVorlage);
  row("Auflösung (dpi):", m_pDpi);
  m_pSeiten = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(-1, FromDIP(100)));
  auto* scannen = new wxButton(this, kScannen, ToWx("Scannen"));
  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  buttons->AddStretchSpacer();
  buttons->Add(scannen, 0, wxRIGHT, FromDIP(8));
  buttons->Add(new wxButton(this, wxID_CANCEL, ToWx("Schließen")));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(grid, 0, wxEXPAND | wxALL, FromDIP(12));
  sizer->Add(new wxStaticText(this, wxID_ANY, ToWx("Gescannte Seiten:")), 0, wxLEFT | wxRIGHT, FromDIP(12));
  sizer->Add(m_pSeiten, 1, wxEXPAND | wxALL, FromDIP(12));
  sizer->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(12));
  SetSizerAndFit(sizer);
  SetMinSize(wxSize(FromDIP(380), GetSize().y));
  m_pGeraet->Bind(wxEVT_CHOICE, [this](wxCommandEvent&) { FillVorlagen(); });
  scannen->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Scan(GetDialogAuswahl(), m_pDpi->GetValue()); });
}

void CTwainImport::FillGeraete() {
  const ScanAuswahl remembered = ScanAuswahl::Lade(m_strProgram);
  m_pGeraet->Clear();
  for (const ScannerInfo& scanner : m_arScanners) {
    m_pGeraet->Append(ToWx(scanner.label));
    if (scanner.name.str() == remembered.device.str()) m_pGeraet->SetSelection(m_pGeraet->GetCount() - 1);
  }
  if (m_pGeraet->GetSelection() == wxNOT_FOUND && !m_arScanners.empty()) m_pGeraet->SetSelection(0);
  FillVorlagen();
}

void CTwainImport::FillVorlagen() {
  const ScanAuswahl remembered = ScanAuswahl::Lade(m_strProgram);
  const int device = m_pGeraet->GetSelection();
  m_arDialogAuswahl.clear();
  m_pVorlage->Clear();
  if (device != wxNOT_FOUND) m_arDialogAuswahl = AuswahlListe({m_arScanners[static_cast<std::size_t>(device)]}, remembered.options);
  for (const ScanAuswahl& auswahl : m_arDialogAuswahl) {
    m_pVorlage->Append(ToWx(ScanVorlageText(auswahl.vorlage)));
    if (auswahl.vorlage == remembered.vorlage) m_pVorlage->SetSelection(m_pVorlage->GetCount() - 1);
  }
  if (m_pVorlage->GetSelection() == wxNOT_FOUND && !m_arDialogAuswahl.empty()) m_pVorlage->SetSelection(0);
  FindWindow(kScannen)->Enable(!m_arDialogAuswahl.empty());
}

ScanAuswahl CTwainImport::GetDialogAuswahl() const {
  const int index = m_pVorlage->GetSelection();
  if (index == wxNOT_FOUND || index >= static_cast<int>(m_arDialogAuswahl.size())) return ScanAuswahl::Lade(m_strProgram);
  return m_arDialogAuswahl[static_cast<std::size_t>(index)];
}

void CTwainImport::ShowImport() {
  m_arScanners = GetScanners(GetParent());
  FillGeraete();
  m_pDpi->SetValue(GetScanDPI());
  ShowModal();
  Hide();
}

void CTwainImport::OnPressedScannenButton(int auswahl) {
  const std::vector<ScanAuswahl> list = AuswahlListe(KnownScanners(), ScanAuswahl::Lade(m_strProgram).options);
  Scan(auswahl >= 0 && auswahl < static_cast<int>(list.size()) ? list[static_cast<std::size_t>(auswahl)] : ScanAuswahl::Lade(m_strProgram),
       GetScanDPI());
}

void CTwainImport::Scan(ScanAuswahl auswahl, int dpi) {
  NegotiateCapabilities(auswahl);
  m_letzteAuswahl = auswahl;
  m_bGescannt = true;
  wxWindow* parent = IsShown() ? static_cast<wxWindow*>(this) : GetParent();
  for (const std::string& file : ScanWithAuswahl(m_strProgram, auswahl, dpi, parent)) {
    m_arSeiten.Add(file.c_str());
    m_pSeiten->Append(wxString::Format(ToWx("Seite %d"), m_pSeiten->GetCount() + 1));
  }
  OnScanBeendet();
}

void CTwainImport::Sichern() {
  if (m_bGescannt) m_letzteAuswahl.Sichere(m_strProgram);
}

BOOL CTwainImport::SaveFilesOnOK() {
  if (m_arSeiten.IsEmpty()) return FALSE;
  const CString name = GetScanDateiName();
  // The first page takes the name the owner gave: it is in the private folder too.
  if (!name.IsEmpty() && std::rename(m_arSeiten[0], name) == 0) m_arSeiten[0] = name;
  m_arGespeichert.Append(m_arSeiten);
  m_arSeiten.RemoveAll();
  return TRUE;
}

void CTwainImport::ClearAll() {
  if (m_pSeiten) m_pSeiten->Clear();
}

void CTwainImport::RemovePageFiles() {
  for (const CString& file : m_arSeiten) std::remove(file);
  for (const CString& file : m_arGespeichert) std::remove(file);
  m_arSeiten.RemoveAll();
  m_arGespeichert.RemoveAll();
}

CTwainImportScannenButton::CTwainImportScannenButton(CTwainImport& import)
    : CScanAuswahlButton(import.m_strProgram), m_import(import) {}

void CTwainImportScannenButton::InitScanButton() { SetButton(); }

void CTwainImportScannenButton::AddMenuEntries(wxMenu& menu) { menu.Append(kEinstellungen, ToWx("Einstellungen …")); }

void CTwainImportScannenButton::OnMenuEntry(int id) {
  if (id != kEinstellungen) return;
  m_import.ShowImport();
  SetButton();
}
