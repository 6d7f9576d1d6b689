// Messages before they are dispatched: keyboard and mouse input of the whole program passes the
// registered filters first; a filter that returns nonzero consumes the input.
#pragma once

#include "WinTypes.h"

#include <functional>

class wxWindow;

constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SPACE = 0x20;
constexpr int VK_DOWN = 0x28;

struct MSG {
  wxWindow* hwnd = nullptr; // the window the input is for
  UINT message = 0;
  UINT_PTR wParam = 0;      // WM_KEY*: the virtual key; WM_CHAR: the character (a Unicode code point)
  INT_PTR lParam = 0;
};

void Add_WinApp_PreTranslateMessage_Function(std::function<int(MSG*)> filter, void* key);
void Remove_WinApp_PreTranslateMessage_Function(void* key);
bool Is_WinApp_PreTranslateMessage_Function_Added(void* key);

// Posts a (registered) message to a window; it arrives through the window's event queue as a
// RegisteredMessageEvent.
bool PostMessageA(wxWindow* window, UINT message, UINT_PTR wParam, INT_PTR lParam);
// Plays the desktop's alert sound.
void MessageBeep(UINT type);

#include <wx/event.h>

// A posted message as it arrives at the window.
class RegisteredMessageEvent : public wxEvent {
public:
  RegisteredMessageEvent(UINT message = 0, UINT_PTR wParam = 0, INT_PTR lParam = 0);
  wxEvent* Clone() const override { return new RegisteredMessageEvent(*this); }
  UINT m_message;
  UINT_PTR m_wParam;
  INT_PTR m_lParam;
};
wxDECLARE_EVENT(EVT_REGISTERED_MESSAGE, RegisteredMessageEvent);
