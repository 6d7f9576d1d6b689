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
// Virtual keys. A key that types a character is VK_PACKET, whatever its character: a key's number
// never tells an end key from a character ('(' and Down share one).
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_DOWN = 0x28;
constexpr int VK_F1 = 0x70;
constexpr int VK_PACKET = 0xE7;
constexpr int VK_OTHER = 0xFF; // any other key that types nothing

// Modifier bits in a key message's lParam.
constexpr INT_PTR MK_SHIFT_DOWN = 1, MK_CONTROL_DOWN = 2, MK_ALT_DOWN = 4;

struct MSG {
  wxWindow* hwnd = nullptr; // the window the input is for
  UINT message = 0;
  UINT_PTR wParam = 0;      // WM_KEY*: the virtual key; WM_CHAR: the character (a Unicode code point)
  INT_PTR lParam = 0;       // WM_KEY*, WM_CHAR: the modifier bits
  int keyCode = 0;          // WM_KEY*: the toolkit's code of the key, to hand it back later
};

void Add_WinApp_PreTranslateMessage_Function(std::function<int(MSG*)> filter, void* key);
void Remove_WinApp_PreTranslateMessage_Function(void* key);
bool Is_WinApp_PreTranslateMessage_Function_Added(void* key);

// Posts a (registered) message to a window; it arrives through the window's event queue as a
// RegisteredMessageEvent.
bool PostMessageA(wxWindow* window, UINT message, UINT_PTR wParam, INT_PTR lParam);
// Plays the desktop's alert sound.
void MessageBeep(UINT type);

// Types a key again, as the keyboard would, to the window that has the focus (a key a filter held
// back and then found to be a person's). False where the window system allows no such thing.
bool ReplayKey(int keyCode, INT_PTR modifiers);
bool CanReplayKeys();

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
