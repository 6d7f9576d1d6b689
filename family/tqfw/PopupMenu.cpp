#include "outside/PopupMenu.h"

#include <wx/menu.h>
#include <wx/window.h>

namespace {

PopupMenuHandler g_handler;

} // namespace

UINT MFCNextBaseTrackPopupMenu(wxMenu& menu, int x, int y, wxWindow* owner, UINT) {
  if (g_handler) return g_handler(menu);
  if (!owner) return 0;
  const int chosen = owner->GetPopupMenuSelectionFromUser(menu, owner->ScreenToClient(wxPoint(x, y)));
  return chosen == wxID_NONE ? 0 : static_cast<UINT>(chosen);
}

UINT MFCNextBaseTrackPopupMenu_NoInitMenuPopup(wxMenu& menu, int x, int y, wxWindow* owner, UINT flags) {
  return MFCNextBaseTrackPopupMenu(menu, x, y, owner, flags);
}

PopupMenuHandler SetPopupMenuHandler(PopupMenuHandler handler) {
  std::swap(g_handler, handler);
  return handler;
}
