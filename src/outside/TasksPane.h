// A tasks pane: groups of entries under captions, clickable entries with an action, plain entries
// with a text only. The pane is filled first (without windows) and laid out once afterwards.
#pragma once

#include "CString.h"
#include "TaskIcons.h"
#include "WinTypes.h"

#include <wx/dialog.h>
#include <wx/scrolwin.h>

#include <functional>
#include <vector>

class CMFCNextBaseActionTasksPane : public wxScrolledWindow {
public:
  struct Task {
    CString text;
    int icon = TaskIcon_None;
    std::function<void()> action; // empty for a plain entry
  };
  struct Group {
    CString caption;
    std::vector<Task> tasks;
    CString copyText; // offered by a "Text kopieren" button beside the caption when not empty
  };

  CMFCNextBaseActionTasksPane() = default;
  bool Create(wxWindow* parent);

  // Returns the group's index. The pane keeps groups in the order they were added.
  int AddGroup(int page, const CString& caption, bool bottom = false, bool special = false, void* icon = nullptr);
  // A clickable entry; returns its index in the group.
  int AddTask_WithoutRebuild(int group, const CString& text, std::function<void()> action, int icon);
  // A plain entry, which does nothing.
  int AddTask(int group, const CString& text, int icon, UINT commandId = 0);
  // The text "Text kopieren" puts on the clipboard for this group.
  void SetGroupCopyText(int group, const CString& text);
  // Builds the windows for what was added; texts wider than textWidth pixels are wrapped
  // (at blanks where there are any), 0 leaves them as they are.
  void RecalcLayout(int textWidth = 0);

  const std::vector<Group>& GetGroups() const { return m_groups; }
  // The window of an entry once laid out (a link for clickable entries), for keyboard focus.
  wxWindow* GetTaskWindow(int group, int task) const;
  // The group's "Text kopieren" button once laid out, or null.
  wxWindow* GetCopyButton(int group) const;

private:
  std::vector<Group> m_groups;
  std::vector<std::vector<wxWindow*>> m_taskWindows;
  std::vector<wxWindow*> m_copyButtons;
};

// A resizable dialog whose content is a tasks pane; subclasses fill it in AddActionsToTasksPane.
class CActionTasksPaneBasisDialogMitCommonTasksIconsImageList : public wxDialog {
public:
  CActionTasksPaneBasisDialogMitCommonTasksIconsImageList(const CString& title, wxWindow* parent);

  virtual void AddActionsToTasksPane() = 0;
  // Fills the pane (no window needed); DoModal does it when it has not been done.
  void BuildTasksPaneMain();
  // Makes the window, lays the pane out and shows it modally; returns IDOK or IDCANCEL. The dialog
  // grows with its entries up to the screen's size and scrolls beyond it; no entry has the focus,
  // so an Enter meant for something else runs nothing.
  INT_PTR DoModal();
  // The smallest size the dialog opens with, in device-independent pixels.
  void SetFesteAufloesung(int cx, int cy, bool fixed);

  CMFCNextBaseActionTasksPane& GetTasksPane() { return m_pane; }

private:
  bool CreateWindow();

  CString m_strTitle;
  wxWindow* m_pParent;
  wxSize m_designSize{320, 240};
  bool m_bBuilt = false;
  CMFCNextBaseActionTasksPane m_pane;
};
