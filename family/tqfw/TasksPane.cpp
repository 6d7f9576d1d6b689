#include "outside/TasksPane.h"

#include "outside/WxText.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/display.h>
#include <wx/hyperlink.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include <gtk/gtk.h>

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

// The text in lines no wider than width pixels in the window's font: broken at the last blank
// that fits, or inside a word when a word alone is wider (a long address, a code's data).
wxString Wrapped(wxWindow* window, const wxString& text, int width) {
  if (width <= 0) return text;
  wxClientDC dc(window);
  dc.SetFont(window->GetFont());
  wxString out;
  for (const wxString& line : wxSplit(text, '\n', '\0')) {
    if (!out.empty()) out += '\n';
    wxArrayInt extents; // extents[i]: the width of the line's first i + 1 characters
    dc.GetPartialTextExtents(line, extents);
    size_t start = 0;
    while (start < line.length()) {
      const int offset = start ? extents[start - 1] : 0;
      size_t end = start + 1;
      while (end < line.length() && extents[end] - offset <= width) ++end;
      if (end < line.length()) {
        const size_t blank = line.find_last_of(' ', end);
        if (blank != wxString::npos && blank > start) end = blank;
        out += line.substr(start, end - start) + '\n';
        start = end;
        while (start < line.length() && line[start] == ' ') ++start;
      } else {
        out += line.substr(start);
        start = end;
      }
    }
  }
  return out;
}

// wxHyperlinkCtrl on GTK turns "_" into "__" on a button that draws underscores as they are;
// the button is given the text exactly as it is to be read.
void SetLinkText(wxHyperlinkCtrl* link, const wxString& text) {
  gtk_button_set_use_underline(GTK_BUTTON(link->GetHandle()), FALSE);
  gtk_button_set_label(GTK_BUTTON(link->GetHandle()), text.utf8_str());
  link->InvalidateBestSize();
}

void CopyToClipboard(const CString& text) {
  wxClipboardLocker open;
  if (!open) return;
  wxTheClipboard->SetData(new wxTextDataObject(ToWx(text)));
  wxTheClipboard->Flush(); // stays there after the program has ended, where the desktop keeps it
}

} // namespace

bool CMFCNextBaseActionTasksPane::Create(wxWindow* parent) {
  if (!wxScrolledWindow::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxTAB_TRAVERSAL))
    return false;
  SetScrollRate(0, 12);
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW));
  // A scroll bar that shows only under the pointer hides that there is more below; this one is
  // there whenever the entries do not fit, and takes its own room instead of covering them.
  if (GTK_IS_SCROLLED_WINDOW(GetHandle())) gtk_scrolled_window_set_overlay_scrolling(GTK_SCROLLED_WINDOW(GetHandle()), FALSE);
  return true;
}

int CMFCNextBaseActionTasksPane::AddGroup(int, const CString& caption, bool, bool, void*) {
  m_groups.push_back({caption, {}, {}});
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

void CMFCNextBaseActionTasksPane::SetGroupCopyText(int group, const CString& text) {
  m_groups.at(static_cast<size_t>(group)).copyText = text;
}

void CMFCNextBaseActionTasksPane::RecalcLayout(int textWidth) {
  DestroyChildren();
  m_taskWindows.assign(m_groups.size(), {});
  m_copyButtons.assign(m_groups.size(), nullptr);
  auto* column = new wxBoxSizer(wxVERTICAL);
  wxFont bold = GetFont().Bold();
  const int entryWidth = textWidth > 0 ? textWidth - FromDIP(kIconSize + 6) : 0;
  for (size_t g = 0; g < m_groups.size(); ++g) {
    const Group& group = m_groups[g];
    auto* heading = new wxBoxSizer(wxHORIZONTAL);
    // Labels are plain text: "&" and "_" in a decoded text are no keyboard shortcuts.
    auto* caption = new wxStaticText(this, wxID_ANY, wxString());
    caption->SetFont(bold);
    heading->Add(caption, 1, wxALIGN_BOTTOM);
    if (!group.copyText.IsEmpty()) {
      auto* copy = new wxButton(this, wxID_ANY, "Text kopieren", wxDefaultPosition, wxDefaultSize, wxBU_EXACTFIT);
      copy->SetToolTip("Den ganzen gelesenen Text in die Zwischenablage kopieren");
      const CString text = group.copyText;
      copy->Bind(wxEVT_BUTTON, [text](wxCommandEvent&) { CopyToClipboard(text); });
      heading->Add(copy, 0, wxALIGN_BOTTOM | wxLEFT, FromDIP(8));
      m_copyButtons[g] = copy;
    }
    const int captionWidth = textWidth > 0 && m_copyButtons[g] ? textWidth - m_copyButtons[g]->GetBestSize().x - FromDIP(8)
                                                               : textWidth;
    caption->SetLabel(wxControl::EscapeMnemonics(Wrapped(caption, ToWx(group.caption), captionWidth)));
    column->Add(heading, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, FromDIP(10));
    column->Add(new wxStaticLine(this), 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP | wxBOTTOM, FromDIP(4));
    for (const Task& task : group.tasks) {
      auto* row = new wxBoxSizer(wxHORIZONTAL);
      row->Add(new wxStaticBitmap(this, wxID_ANY, IconFor(task.icon)), 0, wxALIGN_TOP | wxTOP | wxRIGHT, FromDIP(2));
      wxWindow* entry;
      if (task.action) {
        // A native link: looks clickable, reacts to the pointer, takes the focus with Tab and
        // runs with Enter. The pane runs the entry's own action instead of opening a URL.
        auto* link = new wxHyperlinkCtrl(this, wxID_ANY, wxControl::EscapeMnemonics(ToWx(task.text)), "codewerk:task",
                                         wxDefaultPosition, wxDefaultSize, wxHL_ALIGN_LEFT | wxBORDER_NONE);
        // The button around the link's text has a padding of its own.
        SetLinkText(link, Wrapped(link, ToWx(task.text), entryWidth > 0 ? entryWidth - FromDIP(12) : 0));
        const auto action = task.action;
        link->Bind(wxEVT_HYPERLINK, [action](wxHyperlinkEvent&) { action(); });
        entry = link;
      } else {
        auto* text = new wxStaticText(this, wxID_ANY, wxString());
        text->SetLabel(wxControl::EscapeMnemonics(Wrapped(text, ToWx(task.text), entryWidth)));
        entry = text;
      }
      row->Add(entry, 1, wxALIGN_TOP | wxRIGHT, FromDIP(10));
      column->Add(row, 0, wxEXPAND | wxLEFT | wxBOTTOM, FromDIP(4));
      m_taskWindows[g].push_back(entry);
    }
  }
  column->AddSpacer(FromDIP(8));
  SetSizer(column);
  FitInside();
}

wxWindow* CMFCNextBaseActionTasksPane::GetCopyButton(int group) const {
  return group >= 0 && static_cast<size_t>(group) < m_copyButtons.size() ? m_copyButtons[static_cast<size_t>(group)]
                                                                         : nullptr;
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
  // At most the screen (less room for the window frame); a comfortable line length within it.
  const int display = wxDisplay::GetFromWindow(m_pParent ? m_pParent : this);
  const wxRect screen = wxDisplay(display == wxNOT_FOUND ? 0u : static_cast<unsigned>(display)).GetClientArea();
  const wxSize most = screen.GetSize() - FromDIP(wxSize(40, 80));
  const int scrollBar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
  const int margins = FromDIP(2 * 10) + scrollBar;
  m_pane.RecalcLayout(std::min(FromDIP(720), most.x - margins));
  // A scrolled pane asks for little room itself; its entries tell how much they need.
  const wxSize entries = m_pane.GetSizer()->CalcMin();
  const int buttons = GetSizer()->CalcMin().y;
  wxSize size = FromDIP(m_designSize);
  size.IncTo(wxSize(entries.x + (entries.y + buttons > most.y ? scrollBar : 0), entries.y + buttons));
  size.DecTo(most);
  SetMinSize(FromDIP(wxSize(240, 160)));
  SetClientSize(size);
  CentreOnScreen();
  // The pane starts at its top, and "Schließen" has the focus: a scanner's Enter would otherwise
  // run the first link.
  m_pane.Scroll(0, 0);
  FindWindow(wxID_CANCEL)->SetFocus();
  return ShowModal() == wxID_OK ? IDOK : IDCANCEL;
}
