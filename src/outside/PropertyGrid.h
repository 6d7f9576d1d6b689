// Property grids: rows bound to fields, in groups, with a description area; a committed change is
// written into the row's field and reported to the host the rows were built against.
#pragma once

#include "CArray.h"
#include "CString.h"
#include "WinTypes.h"

#include <wx/propgrid/manager.h>
#include <wx/weakref.h>

#include <functional>
#include <memory>
#include <vector>

class CPropertyGridBasisDialog_BaseProperty;

class CSimplePropertyGridBasisDialog {
public:
  virtual ~CSimplePropertyGridBasisDialog() = default;
  // A row has written a changed value into its field.
  virtual void OnPropertyChanged(CPropertyGridBasisDialog_BaseProperty* property);
};

class CPropertyGridBasisDialog_BaseProperty {
public:
  CPropertyGridBasisDialog_BaseProperty(CSimplePropertyGridBasisDialog* host, const CString& label,
                                        const CString& value = CString(), const CString& description = CString(),
                                        void* userData = nullptr);
  virtual ~CPropertyGridBasisDialog_BaseProperty();

  // The grid's row, made on first use.
  wxPGProperty* GetPGProperty();
  const CString& GetLabel() const { return m_strLabel; }
  void SetDescription(const CString& description);
  // The row's text as the grid shows it.
  CString FormatProperty() const;

  // A text the user is about to commit: false (with the reason) refuses it.
  virtual bool ValidateText(const CString& text, CString& why) const;
  // The grid committed a new value: write it into the bound field.
  virtual bool OnValueChanged();
  virtual bool NeedCueBanner() const { return false; }

  CSimplePropertyGridBasisDialog* m_pHost;
  void* m_pUserData;

protected:
  virtual wxPGProperty* CreatePGProperty() = 0;

  CString m_strLabel;
  CString m_strValue;
  CString m_strDescription;
  wxPGProperty* m_pProperty = nullptr; // the grid owns it once added
};

// A whole number between limits; an empty entry stands for 0, and 0 is shown empty.
class CPropertyGridBasisDialog_BaseProperty_Integer : public CPropertyGridBasisDialog_BaseProperty {
public:
  CPropertyGridBasisDialog_BaseProperty_Integer(CSimplePropertyGridBasisDialog* host, const CString& label, LONG& bound,
                                                LONG minimum, LONG maximum, int flags = 0);
  bool ValidateText(const CString& text, CString& why) const override;
  bool OnValueChanged() override;

private:
  wxPGProperty* CreatePGProperty() override;
  LONG* m_pBound;
  LONG m_nMin, m_nMax;
};

// Yes or no, bound to an int (nonzero: yes).
class CPropertyGridBasisDialog_BaseProperty_YesNo : public CPropertyGridBasisDialog_BaseProperty {
public:
  CPropertyGridBasisDialog_BaseProperty_YesNo(CSimplePropertyGridBasisDialog* host, const CString& label, int& bound,
                                              const CString& yes, const CString& no);
  bool OnValueChanged() override;

private:
  wxPGProperty* CreatePGProperty() override;
  int* m_pBound;
  CString m_strYes, m_strNo;
};

// A row with a button that runs an action; its text only says what the button does.
class CPropertyGridBasisDialog_BaseProperty_Action : public CPropertyGridBasisDialog_BaseProperty {
public:
  CPropertyGridBasisDialog_BaseProperty_Action(CSimplePropertyGridBasisDialog* host, std::function<void()> action,
                                               const CString& label, const CString& shownValue);
  void Run() const;

private:
  wxPGProperty* CreatePGProperty() override;
  std::function<void()> m_fnAction;
};

// The grid control: groups of rows and the description area below.
class CMFCNextBaseGridCtrl {
public:
  CMFCNextBaseGridCtrl() = default;
  ~CMFCNextBaseGridCtrl();
  CMFCNextBaseGridCtrl(const CMFCNextBaseGridCtrl&) = delete;
  CMFCNextBaseGridCtrl& operator=(const CMFCNextBaseGridCtrl&) = delete;

  bool Create(wxWindow* parent, const wxRect& rect, int id);
  void EnableDescriptionArea(bool enable = true);
  wxPropertyGridManager* GetWindow() const { return m_grid.get(); }

  wxPGProperty* AddGroup(const CString& name);
  // Adds the row (the control owns it from now) under the group, with its description.
  void AddSubItem(wxPGProperty* group, CPropertyGridBasisDialog_BaseProperty* row, const CString& description);
  CPropertyGridBasisDialog_BaseProperty* GetRow(const CString& label) const;

private:
  CPropertyGridBasisDialog_BaseProperty* RowOf(wxPGProperty* property) const;
  void OnChanging(wxPropertyGridEvent& event);
  void OnChanged(wxPropertyGridEvent& event);

  wxWeakRef<wxPropertyGridManager> m_grid;
  std::vector<std::unique_ptr<CPropertyGridBasisDialog_BaseProperty>> m_rows;
};
