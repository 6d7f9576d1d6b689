// Driving real windows under Xvfb: letting the event loop run, clicking and typing like a user,
// and reading back the pixels a window shows.
#pragma once

#include "GrayImage.h"

#include <wx/image.h>
#include <wx/window.h>

#include <functional>
#include <string>

class CBaseSubDlgTabCtrl;
class CQRCodeDlg;
class CSubDlgDecode;

// Lets the event loop run for about ms milliseconds.
void Pump(int ms);
// Runs the loop until done() or ms have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int ms = 3000);
// What the screen shows of the window's client area (X11).
wxImage CaptureClient(wxWindow* window);
wxImage CaptureScreen(const wxRect& rect);
GrayImage ToGray(const wxImage& image);
// A real click on the window's centre, through the X server.
void ClickOn(wxWindow* window);
// Types text into the focused window, key by key (ASCII and line breaks).
void TypeText(const std::string& text);
// The first window below parent (in any depth) that is a T, or null.
template <class T>
T* FindChild(wxWindow* parent) {
  for (wxWindow* child : parent->GetChildren()) {
    if (auto* found = dynamic_cast<T*>(child)) return found;
    if (auto* deeper = FindChild<T>(child)) return deeper;
  }
  return nullptr;
}
// Runs action once the next modal dialog is up (from a timer inside its loop).
void WhenModalShown(std::function<void(wxWindow* dialog)> action);
// A screenshot for people: saved as PNG when CODEWERK_SCREENSHOTS names a folder.
void SaveScreenshot(wxWindow* window, const std::string& name);
// The decode page opens on the source with this tab label ("2D Scanner", "WebCam", "Scanner", "Datei").
void RememberSource(const char* label);
// Brings the tab with this label to the front and lets it show; its index, or -1.
int SelectTab(CBaseSubDlgTabCtrl& tabs, const char* label);
// Makes and shows the main dialog with "Einlesen" in front; its decode page.
CSubDlgDecode& ShowDecodePage(CQRCodeDlg& dialog);
