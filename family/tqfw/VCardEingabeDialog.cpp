#include "outside/VCardEingabeDialog.h"

#include "outside/TextServices.h"
#include "outside/WxText.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

struct Field {
  const char* name;
  const char* label;
};

const Field kFields[] = {
    {"Vorname", "Vorname"},           {"Nachname", "Nachname"},    {"Firma", "Firma"},
    {"Strasse", "Straße"},            {"PLZ", "PLZ"},              {"Ort", "Ort"},
    {"Land", "Land"},                 {"TelGeschaeft", "Telefon"}, {"TelPrivat", "Telefon privat"},
    {"Mobil", "Mobil"},               {"Fax", "Fax"},              {"EMail", "E-Mail"},
    {"Internet", "Internet"},
};

// Which telephone field holds which vCard types.
const std::pair<const char*, std::set<std::string>> kPhones[] = {
    {"TelGeschaeft", {"work", "voice"}}, {"TelPrivat", {"home", "voice"}}, {"Mobil", {"cell"}}, {"Fax", {"work", "fax"}}};

} // namespace

CVCardEingabeDialog::CVCardEingabeDialog(wxWindow* parent)
    : wxDialog(parent, wxID_ANY, "VCard", wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
  auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
  grid->AddGrowableCol(1);
  for (const Field& field : kFields) {
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(field.label)), 0, wxALIGN_CENTER_VERTICAL);
    auto* edit = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxSize(280, -1), 0,
                                wxDefaultValidator, field.name);
    grid->Add(edit, 1, wxEXPAND);
    m_fields[field.name] = edit;
  }
  auto* buttons = new wxStdDialogButtonSizer();
  buttons->AddButton(new wxButton(this, wxID_OK, "OK"));
  buttons->AddButton(new wxButton(this, wxID_CANCEL, "Abbrechen"));
  buttons->Realize();
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 12);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
  SetSizerAndFit(top);
  m_fields["Vorname"]->SetFocus();
}

void CVCardEingabeDialog::InitValue(const CString& text) {
  CStringArray lines;
  BreakLine(SetNewLineText(text, "\n"), lines);
  CVCardReader reader;
  m_kunde = CBaseKunde();
  if (IsVCard(lines, reader)) reader.GetAsKunde(m_kunde);
}

INT_PTR CVCardEingabeDialog::DoModal() {
  if (m_fnVCard) m_fnVCard(m_kunde);
  ShowContact(m_kunde);
  if (ShowModal() != wxID_OK) return IDCANCEL;
  m_kunde = ContactFromFields();
  return IDOK;
}

CString CVCardEingabeDialog::GetVCardText() const { return ::GetVCardText(m_kunde); }

void CVCardEingabeDialog::ShowContact(const CBaseKunde& k) {
  CBasisKundeDatenbankEintrag record;
  record.InitEintrag(k);
  const std::map<std::string, CString> values = {
      {"Vorname", k.m_strVorname}, {"Nachname", k.m_strNachname}, {"Firma", k.m_strFirma},
      {"Strasse", k.m_strStrasse}, {"PLZ", k.m_strPLZ},           {"Ort", k.m_strOrt},
      {"Land", k.m_strLand},       {"TelGeschaeft", record.m_strTel1.IsEmpty() ? record.m_strSonstiges : record.m_strTel1},
      {"TelPrivat", record.m_strPrivat}, {"Mobil", record.m_strMobil}, {"Fax", record.m_strFax},
      {"EMail", record.m_strEMail}, {"Internet", record.m_strInternet}};
  for (const auto& [name, value] : values) m_fields.at(name)->ChangeValue(ToWx(value));
}

CBaseKunde CVCardEingabeDialog::ContactFromFields() const {
  auto value = [this](const char* name) { return FromWx(m_fields.at(name)->GetValue()).Trim(); };
  CBaseKunde k = m_kunde; // what the dialog does not show (titles, more addresses) stays
  k.m_strVorname = value("Vorname");
  k.m_strNachname = value("Nachname");
  k.m_strAnzeigename.Empty();
  k.m_strFirma = value("Firma");
  k.m_strStrasse = value("Strasse");
  k.m_strPLZ = value("PLZ");
  k.m_strOrt = value("Ort");
  k.m_strLand = value("Land");
  k.m_arTelefon.clear();
  for (const auto& [name, types] : kPhones)
    if (const CString number = value(name); !number.IsEmpty()) k.m_arTelefon.push_back({number, types});
  k.m_arEMail.RemoveAll();
  if (const CString mail = value("EMail"); !mail.IsEmpty()) k.m_arEMail.Add(mail);
  k.m_arInternet.RemoveAll();
  if (const CString web = value("Internet"); !web.IsEmpty()) k.m_arInternet.Add(web);
  return k;
}
