// Pop-up menus that return the chosen command, through a seam that tests can answer.
#pragma once

#include "WinTypes.h"

#include <functional>

class wxMenu;
class wxWindow;

// Shows menu at (x, y) in screen coordinates; returns the chosen command, 0 when dismissed.
UINT MFCNextBaseTrackPopupMenu(wxMenu& menu, int x, int y, wxWindow* owner, UINT flags = 0);
UINT MFCNextBaseTrackPopupMenu_NoInitMenuPopup(wxMenu& menu, int x, int y, wxWindow* owner, UINT flags = 0);

using PopupMenuHandler = std::function<UINT(wxMenu& menu)>;
// Installs a handler that answers every pop-up menu (empty: the real menu); returns the old one.
PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler);
