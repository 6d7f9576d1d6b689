#include "encode/CodeSizeDialog.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

std::optional<CodeSize> AskCodeSize(wxWindow* parent, bool withDpi) {
  wxDialog dialog(parent, wxID_ANY, wxString::FromUTF8("Größe des Codes"));
  auto* grid = new wxFlexGridSizer(2, wxSize(10, 8));
  auto* size = new wxSpinCtrlDouble(&dialog, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 5, 1000, 25, 1,
                                    "Groesse");
  size->SetDigits(1);
  grid->Add(new wxStaticText(&dialog, wxID_ANY, wxString::FromUTF8("Größe (mm)")), 0, wxALIGN_CENTER_VERTICAL);
  grid->Add(size, 0, wxEXPAND);
  wxSpinCtrl* dpi = nullptr;
  if (withDpi) {
    dpi = new wxSpinCtrl(&dialog, wxID_ANY, "", wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, 72, 2400, 300, "Aufloesung");
    grid->Add(new wxStaticText(&dialog, wxID_ANY, wxString::FromUTF8("Auflösung (dpi)")), 0, wxALIGN_CENTER_VERTICAL);
    grid->Add(dpi, 0, wxEXPAND);
  }
  auto* buttons = new wxStdDialogButtonSizer;
  buttons->AddButton(new wxButton(&dialog, wxID_OK, "OK"));
  buttons->AddButton(new wxButton(&dialog, wxID_CANCEL, "Abbrechen"));
  buttons->Realize();
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(grid, 0, wxALL | wxEXPAND, 12);
  column->Add(buttons, 0, wxALL | wxALIGN_RIGHT, 8);
  dialog.SetSizerAndFit(column);
  dialog.CentreOnParent();
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  return CodeSize{size->GetValue(), dpi ? static_cast<double>(dpi->GetValue()) : 300.0};
}
