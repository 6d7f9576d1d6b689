#include "outside/PropertyGrid.h"

#include "outside/WxText.h"

#include <wx/propgrid/advprops.h>
#include <wx/propgrid/props.h>
#include <wx/textctrl.h>

#include <charconv>
#include <optional>

namespace {

// Text and button, the text not editable (a read-only row would disable the button too).
class ActionEditor : public wxPGTextCtrlAndButtonEditor {
public:
  wxString GetName() const override { return "CodewerkActionEditor"; }
  wxPGWindowList CreateControls(wxPropertyGrid* grid, wxPGProperty* property, const wxPoint& pos,
                                const wxSize& size) const override {
    wxPGWindowList controls = wxPGTextCtrlAndButtonEditor::CreateControls(grid, property, pos, size);
    if (auto* text = dynamic_cast<wxTextCtrl*>(controls.m_primary)) text->SetEditable(false);
    return controls;
  }
};

const wxPGEditor* ActionEditorClass() {
  static const wxPGEditor* editor = wxPropertyGrid::RegisterEditorClass(new ActionEditor);
  return editor;
}

// A text row whose button runs the action; the text only says what the button does.
class ButtonProperty : public wxStringProperty {
public:
  ButtonProperty(const wxString& label, const wxString& value, const CPropertyGridBasisDialog_BaseProperty_Action* row)
      : wxStringProperty(label, wxPG_LABEL, value), m_row(row) {
  }
  const wxPGEditor* DoGetEditorClass() const override { return ActionEditorClass(); }
  bool OnEvent(wxPropertyGrid* grid, wxWindow* window, wxEvent& event) override {
    if (event.GetEventType() == wxEVT_BUTTON) {
      m_row->Run();
      return false;
    }
    return wxStringProperty::OnEvent(grid, window, event);
  }

private:
  const CPropertyGridBasisDialog_BaseProperty_Action* m_row;
};

std::optional<LONG> ParseLong(const CString& text) {
  CString trimmed = text;
  trimmed.Trim();
  if (trimmed.IsEmpty()) return 0;
  LONG value = 0;
  const auto [end, ec] = std::from_chars(trimmed.GetString(), trimmed.GetString() + trimmed.GetLength(), value);
  if (ec != std::errc() || end != trimmed.GetString() + trimmed.GetLength()) return std::nullopt;
  return value;
}

} // namespace

void CSimplePropertyGridBasisDialog::OnPropertyChanged(CPropertyGridBasisDialog_BaseProperty*) {}

CPropertyGridBasisDialog_BaseProperty::CPropertyGridBasisDialog_BaseProperty(CSimplePropertyGridBasisDialog* host,
                                                                             const CString& label, const CString& value,
                                                                             const CString& description, void* userData)
    : m_pHost(host), m_pUserData(userData), m_strLabel(label), m_strValue(value), m_strDescription(description) {}

CPropertyGridBasisDialog_BaseProperty::~CPropertyGridBasisDialog_BaseProperty() = default;

wxPGProperty* CPropertyGridBasisDialog_BaseProperty::GetPGProperty() {
  if (!m_pProperty) {
    m_pProperty = CreatePGProperty();
    m_pProperty->SetHelpString(ToWx(m_strDescription));
  }
  return m_pProperty;
}

void CPropertyGridBasisDialog_BaseProperty::SetDescription(const CString& description) {
  m_strDescription = description;
  if (m_pProperty) m_pProperty->SetHelpString(ToWx(description));
}

CString CPropertyGridBasisDialog_BaseProperty::FormatProperty() const {
  return m_pProperty ? FromWx(m_pProperty->GetValueAsString()) : m_strValue;
}

bool CPropertyGridBasisDialog_BaseProperty::ValidateText(const CString&, CString&) const { return true; }

bool CPropertyGridBasisDialog_BaseProperty::OnValueChanged() { return true; }

CPropertyGridBasisDialog_BaseProperty_Integer::CPropertyGridBasisDialog_BaseProperty_Integer(
    CSimplePropertyGridBasisDialog* host, const CString& label, LONG& bound, LONG minimum, LONG maximum, int)
    : CPropertyGridBasisDialog_BaseProperty(host, label), m_pBound(&bound), m_nMin(minimum), m_nMax(maximum) {}

wxPGProperty* CPropertyGridBasisDialog_BaseProperty_Integer::CreatePGProperty() {
  return new wxStringProperty(ToWx(m_strLabel), wxPG_LABEL, *m_pBound ? wxString::Format("%d", *m_pBound) : wxString());
}

bool CPropertyGridBasisDialog_BaseProperty_Integer::ValidateText(const CString& text, CString& why) const {
  const auto value = ParseLong(text);
  if (value && (*value == 0 || (*value >= m_nMin && *value <= m_nMax))) return true;
  why.Format("Bitte geben Sie eine Zahl von %d bis %d ein oder lassen Sie das Feld leer.", m_nMin, m_nMax);
  return false;
}

bool CPropertyGridBasisDialog_BaseProperty_Integer::OnValueChanged() {
  const auto value = ParseLong(FormatProperty());
  if (!value) return false;
  *m_pBound = *value;
  if (*value == 0 && m_pProperty) m_pProperty->SetValue(wxString()); // 0 is shown as an empty entry
  return true;
}

CPropertyGridBasisDialog_BaseProperty_YesNo::CPropertyGridBasisDialog_BaseProperty_YesNo(
    CSimplePropertyGridBasisDialog* host, const CString& label, int& bound, const CString& yes, const CString& no)
    : CPropertyGridBasisDialog_BaseProperty(host, label), m_pBound(&bound), m_strYes(yes), m_strNo(no) {}

wxPGProperty* CPropertyGridBasisDialog_BaseProperty_YesNo::CreatePGProperty() {
  // Two named choices rather than a bool row: the bool row's "Ja"/"Nein" labels are process-wide.
  wxArrayString labels;
  labels.Add(ToWx(m_strYes));
  labels.Add(ToWx(m_strNo));
  wxArrayInt values;
  values.Add(1);
  values.Add(0);
  return new wxEnumProperty(ToWx(m_strLabel), wxPG_LABEL, labels, values, *m_pBound ? 1 : 0);
}

bool CPropertyGridBasisDialog_BaseProperty_YesNo::OnValueChanged() {
  *m_pBound = FormatProperty() == m_strYes ? 1 : 0;
  return true;
}

CPropertyGridBasisDialog_BaseProperty_Action::CPropertyGridBasisDialog_BaseProperty_Action(
    CSimplePropertyGridBasisDialog* host, std::function<void()> action, const CString& label, const CString& shownValue)
    : CPropertyGridBasisDialog_BaseProperty(host, label, shownValue), m_fnAction(std::move(action)) {}

wxPGProperty* CPropertyGridBasisDialog_BaseProperty_Action::CreatePGProperty() {
  return new ButtonProperty(ToWx(m_strLabel), ToWx(m_strValue), this);
}

void CPropertyGridBasisDialog_BaseProperty_Action::Run() const {
  if (m_fnAction) m_fnAction();
}

CMFCNextBaseGridCtrl::~CMFCNextBaseGridCtrl() {
  if (wxPropertyGridManager* grid = m_grid.get()) {
    grid->Unbind(wxEVT_PG_CHANGING, &CMFCNextBaseGridCtrl::OnChanging, this);
    grid->Unbind(wxEVT_PG_CHANGED, &CMFCNextBaseGridCtrl::OnChanged, this);
  }
}

bool CMFCNextBaseGridCtrl::Create(wxWindow* parent, const wxRect& rect, int id) {
  if (m_grid.get()) return false;
  m_grid = new wxPropertyGridManager(parent, id, rect.GetPosition(), rect.GetSize(),
                                     wxPG_SPLITTER_AUTO_CENTER | wxPG_BOLD_MODIFIED | wxBORDER_THEME);
  m_grid->AddPage();
  // Refusals are shown in the grid itself; the grid's own message box is not wanted.
  m_grid->GetGrid()->SetValidationFailureBehavior(wxPG_VFB_MARK_CELL | wxPG_VFB_BEEP | wxPG_VFB_STAY_IN_PROPERTY);
  m_grid->Bind(wxEVT_PG_CHANGING, &CMFCNextBaseGridCtrl::OnChanging, this);
  m_grid->Bind(wxEVT_PG_CHANGED, &CMFCNextBaseGridCtrl::OnChanged, this);
  // The grid gives Tab to its next sibling only, and has none here: it would keep the focus for
  // good. Tab leaves it for the page's next control, as everywhere else.
  m_grid->Bind(wxEVT_CHAR_HOOK, [grid = m_grid.get()](wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_TAB || event.RawControlDown() || event.AltDown()) {
      event.Skip();
      return;
    }
    grid->Navigate(event.ShiftDown() ? wxNavigationKeyEvent::IsBackward : wxNavigationKeyEvent::IsForward);
  });
  return true;
}

void CMFCNextBaseGridCtrl::EnableDescriptionArea(bool enable) {
  if (!m_grid.get()) return;
  m_grid->SendSizeEvent(); // the manager lays out its parts by the size it last heard of
  m_grid->SetWindowStyleFlag(enable ? (m_grid->GetWindowStyleFlag() | wxPG_DESCRIPTION) : (m_grid->GetWindowStyleFlag() & ~wxPG_DESCRIPTION));
  m_grid->SetDescBoxHeight(m_grid->FromDIP(72));
}

wxPGProperty* CMFCNextBaseGridCtrl::AddGroup(const CString& name) {
  return m_grid.get() ? m_grid->Append(new wxPropertyCategory(ToWx(name))) : nullptr;
}

void CMFCNextBaseGridCtrl::AddSubItem(wxPGProperty* group, CPropertyGridBasisDialog_BaseProperty* row, const CString& description) {
  m_rows.emplace_back(row);
  row->SetDescription(description);
  if (m_grid.get() && group) m_grid->AppendIn(group, row->GetPGProperty());
}

CPropertyGridBasisDialog_BaseProperty* CMFCNextBaseGridCtrl::GetRow(const CString& label) const {
  for (const auto& row : m_rows)
    if (row->GetLabel() == label) return row.get();
  return nullptr;
}

CPropertyGridBasisDialog_BaseProperty* CMFCNextBaseGridCtrl::RowOf(wxPGProperty* property) const {
  for (const auto& row : m_rows)
    if (row->GetPGProperty() == property) return row.get();
  return nullptr;
}

void CMFCNextBaseGridCtrl::OnChanging(wxPropertyGridEvent& event) {
  CPropertyGridBasisDialog_BaseProperty* row = RowOf(event.GetProperty());
  CString why;
  if (row && !row->ValidateText(FromWx(event.GetValue().GetString()), why)) {
    event.Veto();
    event.SetValidationFailureBehavior(wxPG_VFB_MARK_CELL | wxPG_VFB_BEEP | wxPG_VFB_STAY_IN_PROPERTY);
    m_grid->SetDescription(event.GetProperty()->GetLabel(), ToWx(why));
  }
}

void CMFCNextBaseGridCtrl::OnChanged(wxPropertyGridEvent& event) {
  CPropertyGridBasisDialog_BaseProperty* row = RowOf(event.GetProperty());
  if (row && row->OnValueChanged() && row->m_pHost) row->m_pHost->OnPropertyChanged(row);
}
