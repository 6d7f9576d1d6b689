// File dialogs, through one seam that a host or a test can answer instead of the GTK dialog.
#pragma once

#include "CArray.h"
#include "CString.h"

#include <functional>
#include <optional>

class wxWindow;

struct FileDialogRequest {
  bool save = false;
  bool multiple = false;
  CString title;
  CString defaultName;   // e.g. "*.bmp"
  CString defaultExtension; // without the dot
  CString filter;        // "BMP-Dateien(*.bmp)|*.bmp||"
};

// The chosen paths, or nothing when the user cancelled.
using FileDialogHandler = std::function<std::optional<CStringArray>(const FileDialogRequest&)>;

std::optional<CStringArray> AskForFiles(wxWindow* parent, const FileDialogRequest& request);
// A save dialog's one path, or nothing when the user cancelled.
std::optional<CString> AskForSaveFile(wxWindow* parent, const char* defaultName, const char* defaultExtension, const char* filter);
// Installs a handler (empty: the GTK dialog again); returns the one it replaces.
FileDialogHandler SetFileDialogHandler(FileDialogHandler handler);
