// The dialog of one typed form: its fields, filled from the text when the text is of its kind.
#pragma once

#include "encode/TypedForms.h"

#include <wx/dialog.h>

#include <map>

class CTypedFormDialog : public wxDialog {
public:
  CTypedFormDialog(wxWindow* parent, TypedForm form, const std::string& currentText);
  // The text of the values taken; valid after ShowModal gave wxID_OK.
  const std::string& Text() const { return m_text; }

private:
  FormValues Values() const;
  void OnOk();

  TypedForm m_form;
  std::map<std::string, wxWindow*> m_controls;
  std::string m_text;
};
