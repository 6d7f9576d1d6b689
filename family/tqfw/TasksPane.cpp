#include "outside/TasksPane.h"

#include "outside/WxText.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/hyperlink.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

namespace {

constexpr int kIconSize = 16;

// The theme's symbolic icons; an entry without icon keeps the space so texts stay aligned.
wxBitmap IconFor(int icon) {
  const char* name = nullptr;
  switch (icon) {
    case TaskIcon_Telefon: name = "call-start-symbolic"; break;
    case TaskIcon_EMail: name = "mail-send-symbolic"; break;
    case TaskIcon_Internet: name = "web-browser-symbolic"; break;
    case TaskIcon_Fax: name = "printer-symbolic"; break;
    case TaskIcon_Mobil: name = "phone-symbolic"; break;
    default: break;
  }
  wxBitmap bitmap = name ? wxArtProvider::GetBitmap(name, wxART_MENU, wxSize(kIconSize, kIconSize)) : wxBitmap();
  if (bitmap.IsOk()) return bitmap;
  wxImage blank(kIconSize, kIconSize);
  blank.SetAlpha();
  std::fill(blank.GetAlpha(), blank.GetAlpha() + kIconSize * kIconSize, 0);
  return wxBitmap(blank);
}

} // namespace

bool CMFCNextBaseActionTasksPane::Create(wxWindow* parent) {
  if (!wxScrolledWindow::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxTAB_TRAVERSAL))
    return false;
  SetScrollRate(0, 12);
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
  return true;
}

int CMFCNextBaseActionTasksPane::AddGroup(int, const CString& caption, bool, bool, void*) {
  m_groups.push_back({caption, {}});
  return static_cast<int>(m_groups.size()) - 1;
}

int CMFCNextBaseActionTasksPane::AddTask_WithoutRebuild(int group, const CString& text, std::function<void()> action,
                                                         int icon) {
  auto& tasks = m_groups.at(static_cast<size_t>(group)).tasks;
  tasks.push_back({text, icon, std::move(action)});
  return static_cast<int>(tasks.size()) - 1;
}

int CMFCNextBaseActionTasksPane::AddTask(int group, const CString& text, int icon, UINT) {
  return AddTask_WithoutRebuild(group, text, nullptr, icon);
}

void CMFCNextBaseActionTasksPane::RecalcLayout() {
  DestroyChildren();
  m_taskWindows.assign(m_groups.size(), {});
  auto* column = new wxBoxSizer(wxVERTICAL);
  wxFont bold = GetFont().Bold();
  for (size_t g = 0; g < m_groups.size(); ++g) {
    const Group& group = m_groups[g];
    auto* caption = new wxStaticText(this, wxID_ANY, ToWx(group.caption));
    caption->SetFont(bold);
    column->Add(caption, 0, wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP | wxBOTTOM, FromDIP(4));
    for (const Task& task : group.tasks) {
      auto* row = new wxBoxSizer(wxHORIZONTAL);
      row->Add(new wxStaticBitmap(this, wxID_ANY, IconFor(task.icon)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(6));
      wxWindow* entry;
      if (task.action) {
        // A native link: looks clickable, reacts to the pointer, takes the focus with Tab and
        // runs with Enter. The pane runs the entry's own action instead of opening a URL.
        auto* link = new wxHyperlinkCtrl(this, wxID_ANY, ToWx(task.text), "codewerk:task", wxDefaultPosition,
                                         wxDefaultSize, wxHL_ALIGN_LEFT | wxBORDER_NONE);
        const auto action = task.action;
        link->Bind(wxEVT_HYPERLINK, [action](wxHyperlinkEvent&) { action(); });
        entry = link;
      } else {
        entry = new wxStaticText(this, wxID_ANY, ToWx(task.text));
      }
      row->Add(entry, 1, wxALIGN_CENTER_VERTICAL);
      column->Add(row, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(4));
      column->AddSpacer(0);
      m_taskWindows[g].push_back(entry);
    }
  }
  column->AddSpacer(FromDIP(8));
  SetSizer(column);
  FitInside();
}

wxWindow* CMFCNextBaseActionTasksPane::FirstLink() const {
  for (size_t g = 0; g < m_groups.size(); ++g)
    for (size_t t = 0; t < m_groups[g].tasks.size(); ++t)
      if (m_groups[g].tasks[t].action) return GetTaskWindow(static_cast<int>(g), static_cast<int>(t));
  return nullptr;
}

wxWindow* CMFCNextBaseActionTasksPane::GetTaskWindow(int group, int task) const {
  if (group < 0 || static_cast<size_t>(group) >= m_taskWindows.size()) return nullptr;
  const auto& windows = m_taskWindows[static_cast<size_t>(group)];
  return task >= 0 && static_cast<size_t>(task) < windows.size() ? windows[static_cast<size_t>(task)] : nullptr;
}

CActionTasksPaneBasisDialogMitCommonTasksIconsImageList::CActionTasksPaneBasisDialogMitCommonTasksIconsImageList(
    const CString& title, wxWindow* parent)
    : m_strTitle(title), m_pParent(parent) {}

void CActionTasksPaneBasisDialogMitCommonTasksIconsImageList::SetFesteAufloesung(int cx, int cy, bool) {
  m_designSize = wxSize(cx, cy);
}

void CActionTasksPaneBasisDialogMitCommonTasksIconsImageList::BuildTasksPaneMain() {
  if (m_bBuilt) return;
  m_bBuilt = true;
  AddActionsToTasksPane();
}

bool CActionTasksPaneBasisDialogMitCommonTasksIconsImageList::CreateWindow() {
  if (GetHandle()) return true;
  if (!wxDialog::Create(m_pParent, wxID_ANY, ToWx(m_strTitle), wxDefaultPosition, wxDefaultSize,
                        wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER))
    return false;
  m_pane.Create(this);
  auto* close = new wxButton(this, wxID_CANCEL, wxString::FromUTF8("Schließen"));
  SetEscapeId(wxID_CANCEL);
  auto* column = new wxBoxSizer(wxVERTICAL);
  column->Add(&m_pane, 1, wxEXPAND);
  column->Add(close, 0, wxALIGN_RIGHT | wxALL, FromDIP(8));
  SetSizer(column);
  return true;
}

INT_PTR CActionTasksPaneBasisDialogMitCommonTasksIconsImageList::DoModal() {
  if (!CreateWindow()) return IDCANCEL;
  BuildTasksPaneMain();
  m_pane.RecalcLayout();
  // The design size at least; larger when the entries need it, so short results need no scrolling.
  SetMinSize(FromDIP(wxSize(240, 160)));
  // A scrolled pane asks for little room itself; its entries tell how much they need.
  const wxSize content = m_pane.GetSizer()->CalcMin() + wxSize(FromDIP(24), GetSizer()->CalcMin().y);
  wxSize size = FromDIP(m_designSize);
  size.IncTo(content);
  size.DecTo(FromDIP(wxSize(640, 560)));
  SetClientSize(size);
  CentreOnScreen();
  // The first link takes the focus, so Enter runs it and Tab walks on; the pane stays at its top.
  if (wxWindow* first = m_pane.FirstLink()) first->SetFocus();
  m_pane.Scroll(0, 0);
  return ShowModal() == wxID_OK ? IDOK : IDCANCEL;
}
