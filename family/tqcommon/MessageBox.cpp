#include "outside/MessageBox.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_handlerMutex;
MessageBoxHandler g_handler;
MessageBoxHandler g_defaultHandler;

// Without a dialog library the message goes to standard error; the first button is the answer.
int AnswerOnStandardError(const CString& text, UINT type) {
  std::fprintf(stderr, "%s\n", text.GetString());
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    default: return IDOK;
  }
}

} // namespace

int AfxMessageBox(const char* text, UINT type, UINT) {
  MessageBoxHandler handler;
  {
    std::lock_guard lock(g_handlerMutex);
    handler = g_handler ? g_handler : g_defaultHandler;
  }
  return handler ? handler(CString(text), type) : AnswerOnStandardError(CString(text), type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(g_handlerMutex);
  std::swap(g_handler, handler);
  return handler;
}

void SetDefaultMessageBoxHandler(MessageBoxHandler handler) {
  std::lock_guard lock(g_handlerMutex);
  g_defaultHandler = std::move(handler);
}
