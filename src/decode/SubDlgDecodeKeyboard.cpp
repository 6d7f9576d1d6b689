// Keyboard input of a 2D barcode scanner: characters collected until the input has been idle for
// 100 ms, then turned into one "Tastatur" result.
#include "decode/SubDlgDecode.h"

#include "outside/CodePage.h"
#include "outside/MessageFilter.h"

#include <wx/toplevel.h>

namespace {

constexpr UINT_PTR kTastaturTimer = 12345;
constexpr UINT kTastaturIdleMs = 100;
constexpr int kMinimumCharacters = 3;

// A scanner types through the keyboard layout, so umlauts and other characters arrive as Unicode
// code points; each is kept as its UTF-8 bytes. Its low byte alone (one byte per character, as
// the keyboard messages once carried) would cut "ä" to a byte that is no text on a UTF-8 system.
void AppendCodePoint(CString& text, UINT_PTR codePoint) {
  WCHAR wide[2] = {static_cast<WCHAR>(codePoint), 0};
  char utf8[8] = {};
  if (WideCharToMultiByte(CP_UTF8, 0, wide, 1, utf8, sizeof utf8 - 1, nullptr, nullptr) > 0) text += utf8;
}

int CharacterCount(const CString& utf8) {
  int count = 0;
  for (unsigned char c : utf8.view()) count += (c & 0xC0) != 0x80;
  return count;
}

} // namespace

int CSubDlgDecode::OnDirekteTastaturEingabe(MSG* pMsg) {
  if (!HasWindow() || !pMsg) return 0;
  // Input for another window of the program (the result dialog, say) is not the scanner's.
  if (!pMsg->hwnd || wxGetTopLevelParent(pMsg->hwnd) != wxGetTopLevelParent(this)) return 0;
  KillTimer(m_nTastaturTimer);
  m_nTastaturTimer = 0;
  int consumed = 0;
  const bool key = pMsg->message == WM_KEYDOWN || pMsg->message == WM_KEYUP;
  if (pMsg->message == WM_CHAR) {
    AppendCodePoint(m_strTastatur, pMsg->wParam);
    consumed = 1;
  } else if (key && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_DOWN)) {
    m_bTastaturEnde = true;
    consumed = 1;
  } else if (key && pMsg->wParam == VK_SPACE) {
    consumed = m_bTastaturEnde ? 1 : 0; // blanks after the end key are swallowed
  }
  SetTimer();
  return consumed;
}

void CSubDlgDecode::SetTimer() { m_nTastaturTimer = CPageCtrl::SetTimer(kTastaturTimer, kTastaturIdleMs); }

void CSubDlgDecode::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != m_nTastaturTimer || nIDEvent == 0) return;
  KillTimer(m_nTastaturTimer);
  m_nTastaturTimer = 0;
  if (m_strTastatur.IsEmpty()) return;
  const CString text = m_strTastatur;
  m_strTastatur.Empty();
  m_bTastaturEnde = false;
  if (CharacterCount(text) < kMinimumCharacters) return;
  CDecodeResultArray results(1);
  CArray<POINT, POINT> noPoints;
  results.AddDecodeResult(text, "Tastatur", noPoints);
  OnQRCodeDecoded(results);
}
