#include "outside/FileDialog.h"

#include "outside/WxText.h"

#include <wx/filedlg.h>

#include <mutex>

namespace {

std::mutex g_mutex;
FileDialogHandler g_handler;

// "BMP-Dateien(*.bmp)|*.bmp||" as the dialog's wildcard: the pairs without the empty tail.
wxString Wildcard(const CString& filter) {
  CString text = filter;
  while (text.GetLength() > 0 && text.Right(1) == "|") text = text.Left(text.GetLength() - 1);
  return ToWx(text);
}

std::optional<CStringArray> ShowGtkDialog(wxWindow* parent, const FileDialogRequest& request) {
  long style = request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (request.multiple) style |= wxFD_MULTIPLE;
  // A default name of "*.bmp" is a wildcard, not a name to offer.
  const CString name = request.defaultName.Find('*') >= 0 ? CString() : request.defaultName;
  wxFileDialog dialog(parent, ToWx(request.title), wxEmptyString, ToWx(name), Wildcard(request.filter), style);
  if (dialog.ShowModal() != wxID_OK) return std::nullopt;
  CStringArray paths;
  wxArrayString chosen;
  if (request.multiple) dialog.GetPaths(chosen);
  else chosen.Add(dialog.GetPath());
  for (const wxString& path : chosen) {
    CString file = FromWx(path);
    // Saving: a name typed without extension gets the default one.
    if (request.save && !request.defaultExtension.IsEmpty() && file.ReverseFind('.') <= file.ReverseFind('/'))
      file += "." + request.defaultExtension;
    paths.Add(file);
  }
  return paths;
}

} // namespace

std::optional<CStringArray> AskForFiles(wxWindow* parent, const FileDialogRequest& request) {
  FileDialogHandler handler;
  {
    std::lock_guard lock(g_mutex);
    handler = g_handler;
  }
  return handler ? handler(request) : ShowGtkDialog(parent, request);
}

std::optional<CString> AskForSaveFile(wxWindow* parent, const char* defaultName, const char* defaultExtension, const char* filter) {
  FileDialogRequest request;
  request.save = true;
  request.defaultName = defaultName;
  request.defaultExtension = defaultExtension;
  request.filter = filter;
  const auto chosen = AskForFiles(parent, request);
  if (!chosen || chosen->IsEmpty()) return std::nullopt;
  return (*chosen)[0];
}

FileDialogHandler SetFileDialogHandler(FileDialogHandler handler) {
  std::lock_guard lock(g_mutex);
  std::swap(g_handler, handler);
  return handler;
}
