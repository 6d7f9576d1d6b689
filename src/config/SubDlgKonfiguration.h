// The "Konfiguration" page: the settings in a property grid, edited on a copy and saved on request.
// What is saved takes effect when the program starts again.
#pragma once

#include "CodewerkExport.h"
#include "config/QRCodeKonfiguration.h"
#include "outside/PropertyGrid.h"
#include "shell/BaseSubDlg.h"

#include <vector>

// A row offering named values of an enumeration, bound to a variable of it.
template <class T>
class CPropertyGridBasisDialog_BaseProperty_Enum : public CPropertyGridBasisDialog_BaseProperty {
public:
  CPropertyGridBasisDialog_BaseProperty_Enum(CSimplePropertyGridBasisDialog* host, const CString& label, T& bound)
      : CPropertyGridBasisDialog_BaseProperty(host, label), m_pBound(&bound), m_initial(bound) {}

  void AddOption(const CString& name, T value) {
    m_names.Add(name);
    m_values.push_back(value);
    if (value == m_initial) m_strValue = name;
  }

  // The first option whose name is the row's text; a text that is no option changes nothing.
  bool OnValueChanged() override {
    const CString text = FormatProperty();
    for (int i = 0; i < m_names.GetSize(); ++i)
      if (m_names[i] == text) {
        *m_pBound = m_values[static_cast<size_t>(i)];
        break;
      }
    return true;
  }

private:
  wxPGProperty* CreatePGProperty() override {
    wxArrayString labels;
    for (const CString& name : m_names)
      if (labels.Index(wxString::FromUTF8(name.GetString())) == wxNOT_FOUND) labels.Add(wxString::FromUTF8(name.GetString()));
    auto* row = new wxEnumProperty(wxString::FromUTF8(m_strLabel.GetString()), wxPG_LABEL, labels);
    // A stored value no option stands for shows as nothing, not as the first option.
    if (!m_strValue.IsEmpty()) row->SetValueFromString(wxString::FromUTF8(m_strValue.GetString()));
    else row->SetValueToUnspecified();
    return row;
  }

  T* m_pBound;
  CStringArray m_names;
  std::vector<T> m_values;
  T m_initial;
};

class CODEWERK_EXPORT CPropertyGridBasisDialog_BaseProperty_Encoder
    : public CPropertyGridBasisDialog_BaseProperty_Enum<T_QRCodeKonfiguration_Encoder> {
  using CPropertyGridBasisDialog_BaseProperty_Enum::CPropertyGridBasisDialog_BaseProperty_Enum;
};

class CODEWERK_EXPORT CPropertyGridBasisDialog_BaseProperty_Decoder
    : public CPropertyGridBasisDialog_BaseProperty_Enum<T_QRCodeKonfiguration_Decoder> {
  using CPropertyGridBasisDialog_BaseProperty_Enum::CPropertyGridBasisDialog_BaseProperty_Enum;
};

class CSubDlgKonfiguration;

// The host the grid's rows are built against; it tells the page of every change.
class CODEWERK_EXPORT CSubDlgKonfigurationPropertyGridBasisDialog : public CSimplePropertyGridBasisDialog {
public:
  explicit CSubDlgKonfigurationPropertyGridBasisDialog(CSubDlgKonfiguration* page) : m_pPage(page) {}
  void OnPropertyChanged(CPropertyGridBasisDialog_BaseProperty* property) override;

private:
  CSubDlgKonfiguration* m_pPage;
};

class CODEWERK_EXPORT CSubDlgKonfiguration : public CDecodeEncoderBaseDialog {
public:
  CSubDlgKonfiguration();

  BOOL OnInitDialog() override;
  void CreateCtrl();
  void AddSubItemMitDescription(wxPGProperty* group, CPropertyGridBasisDialog_BaseProperty* property,
                                const CString& description);
  void DoDataExchange(CDataExchange* pDX) override;
  void OnBnClickedSave();
  void OnPropertyValueChanged();
  void EnableButtons();
  bool NeedSetActiveTabPrepareForCloseDialog() override;
  bool PrepareForCloseDialog() override;

  CMFCNextBaseGridCtrl& GetGrid() { return m_wndGrid; }
  bool IsModified() const { return m_bModified; }
  CQRCodeKonfiguration m_konfiguration; // the working copy

private:
  // Validates and saves; false when the check refused or the file could not be written.
  bool Save();

  CSubDlgKonfigurationPropertyGridBasisDialog m_gridHost;
  CMFCNextBaseGridCtrl m_wndGrid;
  bool m_bModified = false;
};
