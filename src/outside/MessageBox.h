// Messages to the user. Every message box goes through one handler, so a host or a test can
// answer them; the dialog library installs the real GTK message box.
#pragma once

#include "CString.h"
#include "WinTypes.h"

#include <functional>

constexpr UINT MB_OK = 0x00;
constexpr UINT MB_OKCANCEL = 0x01;
constexpr UINT MB_YESNOCANCEL = 0x03;
constexpr UINT MB_YESNO = 0x04;
constexpr UINT MB_ICONERROR = 0x10;
constexpr UINT MB_ICONQUESTION = 0x20;
constexpr UINT MB_ICONWARNING = 0x30;
constexpr UINT MB_ICONINFORMATION = 0x40;
constexpr UINT MB_TYPEMASK = 0x0F;


using MessageBoxHandler = std::function<int(const CString& text, UINT type)>;

// Shows text with the buttons and icon of type; returns the button chosen (IDOK, IDYES, …).
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
// Installs a handler that answers every message box (a host's or a test's); an empty one removes
// it. Returns the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);
// The handler used when none is installed: the dialog library's real message box. Without either,
// the text goes to standard error and the first button is the answer.
void SetDefaultMessageBoxHandler(MessageBoxHandler handler);
