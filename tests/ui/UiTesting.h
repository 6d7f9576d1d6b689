// Driving real windows under Xvfb: letting the event loop run, clicking and typing like a user,
// and reading back the pixels a window shows.
#pragma once

#include "CodeReaders.h"
#include "GrayImage.h"
#include "TestFolder.h"
#include "TestPictures.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "outside/PopupMenu.h"
#include "outside/ProgramSettings.h"
#include "outside/TempFiles.h"
#include "shell/QRCodeDlg.h"

#include <gtest/gtest.h>
#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>
#include <wx/window.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

// Lets the event loop run for about ms milliseconds.
void Pump(int ms);
// Runs the loop until done() or ms have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, int ms = 3000);
// What the screen shows of the window's client area (X11).
wxImage CaptureClient(wxWindow* window);
GrayImage ToGray(const wxImage& image);
// A real click on the window's centre, through the X server.
void ClickOn(wxWindow* window);
// Types text into the focused window, key by key (ASCII and line breaks).
void TypeText(const std::string& text);
// Runs action once the next modal dialog is up (from a timer inside its loop).
void WhenModalShown(std::function<void(wxWindow* dialog)> action);
// Ends a modal dialog shown by WhenModalShown.
inline void EndModal(wxWindow* dialog) { static_cast<wxDialog*>(dialog)->EndModal(wxID_CANCEL); }
// The decode page opens on the source with this tab label ("2D Scanner", "WebCam", "Scanner", "Datei", …).
void RememberSource(const char* label);
// Brings the tab with this label to the front and lets it show.
void SelectTab(CBaseSubDlgTabCtrl& tabs, const char* label);
// The tabs' labels, joined by "|".
std::string Labels(CBaseSubDlgTabCtrl& tabs);
// These paths as the list a page takes.
CStringArray Paths(const std::vector<std::string>& paths);
// A file dialog that answers with these paths; remembers what it was asked.
void AnswerFileDialog(std::vector<std::string> paths, FileDialogRequest* asked = nullptr);
// Results of these texts, each a "QRCode" unless symbols names another.
CDecodeResultArray Results(const std::vector<std::string>& texts, const std::vector<std::string>& symbols = {});
std::string ClipboardText();

// What the page tests share: message boxes recorded (answered from m_answers, else IDOK), a private
// folder, and the main dialog whose host handler records the texts it gets.
class PageTest : public InFolder<> {
protected:
  void SetUp() override;
  void TearDown() override;
  // The main dialog shown with this page in front; prepare sees its decode page before it shows.
  CQRCodeDlg& Show(int tab, const std::function<void(CSubDlgDecode&)>& prepare = nullptr);
  // The main dialog on "Einlesen", on this source when one is named.
  CSubDlgDecode& OpenDecode(const char* source = nullptr);
  CSubDlgDecode& Decode();
  // Brings the main dialog's page to the front and lets it show.
  void ToTab(int tab, int ms = 200);
  // What was read once n codes were, or time ran out.
  auto& Decoded(size_t n, int ms = 10000) { return PumpUntil([&] { return m_decoded.size() == n; }, ms), m_decoded; }

  std::unique_ptr<CQRCodeDlg> m_dialog;
  std::vector<std::string> m_messages, m_decoded, m_symbols;
  std::vector<UINT> m_types;
  std::deque<int> m_answers;
  int m_images = -1;
  bool m_accept = true;
  MessageBoxHandler m_savedMessages;
};
