#include "outside/MessageFilter.h"

#include <gdk/gdkx.h>
#include <wx/app.h>
#include <wx/uiaction.h>
#include <wx/eventfilter.h>
#include <wx/utils.h>
#include <wx/window.h>

#include <algorithm>
#include <utility>
#include <vector>

wxDEFINE_EVENT(EVT_REGISTERED_MESSAGE, RegisteredMessageEvent);

RegisteredMessageEvent::RegisteredMessageEvent(UINT message, UINT_PTR wParam, INT_PTR lParam)
    : wxEvent(0, EVT_REGISTERED_MESSAGE), m_message(message), m_wParam(wParam), m_lParam(lParam) {}

namespace {

UINT_PTR VirtualKey(const wxKeyEvent& key) {
  switch (key.GetKeyCode()) {
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER: return VK_RETURN;
    case WXK_DOWN:
    case WXK_NUMPAD_DOWN: return VK_DOWN;
    case WXK_TAB:
    case WXK_NUMPAD_TAB: return VK_TAB;
    case WXK_ESCAPE: return VK_ESCAPE;
    case WXK_BACK: return VK_BACK;
    case WXK_PAGEUP:
    case WXK_NUMPAD_PAGEUP: return VK_PRIOR;
    case WXK_PAGEDOWN:
    case WXK_NUMPAD_PAGEDOWN: return VK_NEXT;
    case WXK_SHIFT: return VK_SHIFT;
    case WXK_CONTROL: return VK_CONTROL;
    case WXK_ALT: return VK_MENU;
    default: break;
  }
  if (key.GetKeyCode() >= WXK_F1 && key.GetKeyCode() <= WXK_F24) return VK_F1 + (key.GetKeyCode() - WXK_F1);
  // Space types a blank like any character key.
  return key.GetUnicodeKey() != WXK_NONE ? VK_PACKET : VK_OTHER;
}

INT_PTR Modifiers(const wxKeyEvent& key) {
  return (key.ShiftDown() ? MK_SHIFT_DOWN : 0) | (key.RawControlDown() ? MK_CONTROL_DOWN : 0) |
         (key.AltDown() ? MK_ALT_DOWN : 0);
}

// Keyboard and mouse input, as the messages a filter is written for. Other events (painting,
// idle time, timers) are no input and pass unseen.
bool Translate(wxEvent& event, MSG& msg) {
  const wxEventType type = event.GetEventType();
  msg.hwnd = dynamic_cast<wxWindow*>(event.GetEventObject());
  if (type == wxEVT_KEY_DOWN || type == wxEVT_KEY_UP) {
    const auto& key = static_cast<wxKeyEvent&>(event);
    msg.message = type == wxEVT_KEY_DOWN ? WM_KEYDOWN : WM_KEYUP;
    msg.wParam = VirtualKey(key);
    msg.lParam = Modifiers(key);
    msg.keyCode = key.GetKeyCode();
  } else if (type == wxEVT_CHAR) {
    // Keys that type nothing (arrows, page keys) also send a "character" with their key code:
    // that is no text, and not input a filter sees.
    const auto& key = static_cast<wxKeyEvent&>(event);
    if (key.GetUnicodeKey() == WXK_NONE) return false;
    msg.message = WM_CHAR;
    msg.wParam = static_cast<UINT_PTR>(key.GetUnicodeKey());
    msg.lParam = Modifiers(key);
    msg.keyCode = key.GetKeyCode();
  } else if (type == wxEVT_MOTION) {
    msg.message = WM_MOUSEMOVE;
  } else if (type == wxEVT_LEFT_DOWN || type == wxEVT_LEFT_UP) {
    msg.message = type == wxEVT_LEFT_DOWN ? WM_LBUTTONDOWN : WM_LBUTTONUP;
  } else if (type == wxEVT_RIGHT_DOWN || type == wxEVT_RIGHT_UP) {
    msg.message = type == wxEVT_RIGHT_DOWN ? WM_RBUTTONDOWN : WM_RBUTTONUP;
  } else {
    return false;
  }
  return true;
}

class InputFilter : public wxEventFilter {
public:
  std::vector<std::pair<void*, std::function<int(MSG*)>>> filters;

  int FilterEvent(wxEvent& event) override {
    MSG msg;
    if (filters.empty() || !Translate(event, msg)) return Event_Skip;
    const auto current = filters; // a filter may add or remove filters
    for (const auto& [key, filter] : current)
      if (filter(&msg)) return Event_Processed;
    return Event_Skip;
  }
};

InputFilter& Filter() {
  static InputFilter filter;
  return filter;
}

bool g_installed = false;

} // namespace

void Add_WinApp_PreTranslateMessage_Function(std::function<int(MSG*)> filter, void* key) {
  Filter().filters.emplace_back(key, std::move(filter));
  if (!g_installed) {
    wxEvtHandler::AddFilter(&Filter());
    g_installed = true;
  }
}

void Remove_WinApp_PreTranslateMessage_Function(void* key) {
  auto& filters = Filter().filters;
  std::erase_if(filters, [key](const auto& entry) { return entry.first == key; });
  if (filters.empty() && g_installed) {
    wxEvtHandler::RemoveFilter(&Filter());
    g_installed = false;
  }
}

bool Is_WinApp_PreTranslateMessage_Function_Added(void* key) {
  const auto& filters = Filter().filters;
  return std::any_of(filters.begin(), filters.end(), [key](const auto& entry) { return entry.first == key; });
}

bool PostMessageA(wxWindow* window, UINT message, UINT_PTR wParam, INT_PTR lParam) {
  if (!window) return false;
  wxQueueEvent(window->GetEventHandler(), new RegisteredMessageEvent(message, wParam, lParam));
  return true;
}

void MessageBeep(UINT) { wxBell(); }

bool CanReplayKeys() { return GDK_IS_X11_DISPLAY(gdk_display_get_default()); }

bool ReplayKey(int keyCode, INT_PTR modifiers) {
  if (!CanReplayKeys()) return false;
  const int flags = ((modifiers & MK_SHIFT_DOWN) ? wxMOD_SHIFT : 0) | ((modifiers & MK_CONTROL_DOWN) ? wxMOD_RAW_CONTROL : 0) |
                    ((modifiers & MK_ALT_DOWN) ? wxMOD_ALT : 0);
  return wxUIActionSimulator().Char(keyCode, flags);
}
