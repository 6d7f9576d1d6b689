#include "encode/TypedFormDialog.h"

#include "outside/MessageBox.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CTypedFormDialog::CTypedFormDialog(wxWindow* parent, TypedForm form, const std::string& currentText)
    : wxDialog(parent, wxID_ANY, FormTitle(form), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_form(form) {
  const FormValues values = FormValuesFromText(form, currentText);
  auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
  grid->AddGrowableCol(1);
  for (const FormField& field : FormFields(form)) {
    const auto found = values.find(field.name);
    const wxString value = wxString::FromUTF8(found == values.end() ? std::string() : found->second);
    wxWindow* control = nullptr;
    if (field.check) {
      auto* box = new wxCheckBox(this, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, field.name);
      box->SetValue(value == "1");
      control = box;
    } else if (!field.choices.empty()) {
      wxArrayString choices;
      for (const std::string& choice : field.choices) choices.Add(wxString::FromUTF8(choice));
      auto* choice = new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, choices, 0, wxDefaultValidator, field.name);
      choice->SetSelection(std::max(0, choice->FindString(value)));
      control = choice;
    } else {
      control = new wxTextCtrl(this, wxID_ANY, value, wxDefaultPosition, wxSize(280, field.multiline ? 80 : -1),
                               field.multiline ? wxTE_MULTILINE : 0, wxDefaultValidator, field.name);
    }
    grid->Add(new wxStaticText(this, wxID_ANY, wxString::FromUTF8(field.label)), 0,
              field.multiline ? wxALIGN_TOP : wxALIGN_CENTER_VERTICAL);
    grid->Add(control, 1, wxEXPAND);
    m_controls[field.name] = control;
  }
  auto* buttons = new wxStdDialogButtonSizer();
  buttons->AddButton(new wxButton(this, wxID_OK, "OK"));
  buttons->AddButton(new wxButton(this, wxID_CANCEL, "Abbrechen"));
  buttons->Realize();
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOk(); }, wxID_OK);
  auto* top = new wxBoxSizer(wxVERTICAL);
  top->Add(grid, 1, wxEXPAND | wxALL, 12);
  top->Add(buttons, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
  SetSizerAndFit(top);
}

FormValues CTypedFormDialog::Values() const {
  FormValues values;
  for (const auto& [name, control] : m_controls) {
    if (auto* box = dynamic_cast<wxCheckBox*>(control)) values[name] = box->GetValue() ? "1" : "0";
    else if (auto* choice = dynamic_cast<wxChoice*>(control)) values[name] = choice->GetStringSelection().utf8_string();
    else if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) values[name] = edit->GetValue().utf8_string();
  }
  return values;
}

// A value missing or malformed keeps the dialog open with the reason.
void CTypedFormDialog::OnOk() {
  std::string why;
  const std::optional<std::string> text = TextFromFormValues(m_form, Values(), why);
  if (!text) {
    AfxMessageBox(why.c_str(), MB_OK | MB_ICONINFORMATION);
    return;
  }
  m_text = *text;
  EndModal(wxID_OK);
}
