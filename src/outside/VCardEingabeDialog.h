// The dialog in which a user enters a contact, which becomes a vCard 3.0 text.
#pragma once

#include "CString.h"
#include "VCard.h"
#include "WinTypes.h"

#include <wx/dialog.h>

#include <functional>
#include <map>

class wxTextCtrl;

class CVCardEingabeDialog : public wxDialog {
public:
  explicit CVCardEingabeDialog(wxWindow* parent = nullptr);

  // Fills the fields from a vCard text; any other text leaves them empty.
  void InitValue(const CString& text);
  // IDOK when the user took the contact, IDCANCEL otherwise.
  INT_PTR DoModal();
  // The contact as a vCard 3.0 text, lines ended by "\r\n".
  CString GetVCardText() const;

  // A host's chance to fill in or adjust the contact before the dialog shows it.
  std::function<void(CBaseKunde&)> m_fnVCard;

private:
  void ShowContact(const CBaseKunde& kunde);
  CBaseKunde ContactFromFields() const;

  CBaseKunde m_kunde;
  std::map<std::string, wxTextCtrl*> m_fields; // by field name, e.g. "Vorname"
};
