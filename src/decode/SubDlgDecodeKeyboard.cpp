// Keyboard input of a 2D barcode scanner: the keys of a burst are collected, and when the input
// has been idle for 100 ms each complete text becomes a "Tastatur" result.
#include "decode/SubDlgDecode.h"

#include "outside/MessageFilter.h"

#include <wx/toplevel.h>

namespace {

constexpr UINT_PTR kTastaturTimer = 12345;
constexpr UINT kTastaturIdleMs = 100;
constexpr int kMinimumCharacters = 3;
constexpr auto kReplayWindow = std::chrono::milliseconds(300);

// A code point as UTF-8 bytes.
std::string Utf8(UINT_PTR codePoint) {
  std::string out;
  const auto c = static_cast<std::uint32_t>(codePoint);
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6)), out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    if (c >= 0xD800 && c < 0xE000) return {}; // a lone surrogate is no character
    out += static_cast<char>(0xE0 | (c >> 12)), out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x110000) {
    out += static_cast<char>(0xF0 | (c >> 18)), out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F)), out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

// The key a message stands for; false for what is neither the scanner's nor held back: a key's
// press that types a character (its character follows), and anything that is no key.
bool ToScannerKey(const MSG& msg, ScannerKey& key) {
  key.keyCode = msg.keyCode;
  key.modifiers = static_cast<int>(msg.lParam);
  if (msg.message == WM_CHAR) {
    key.kind = ScannerKey::Kind::Text;
    key.text = Utf8(msg.wParam);
    return !key.text.empty();
  }
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return false;
  const bool alt = (msg.lParam & MK_ALT_DOWN) != 0, shift = (msg.lParam & MK_SHIFT_DOWN) != 0;
  switch (msg.wParam) {
    case VK_PACKET: key.kind = ScannerKey::Kind::Other; return alt; // Alt with a letter: a mnemonic
    case VK_RETURN:
    case VK_DOWN: key.kind = ScannerKey::Kind::End; return true;
    case VK_TAB: key.kind = shift ? ScannerKey::Kind::Other : ScannerKey::Kind::Tab; return true;
    case VK_SHIFT:
    case VK_CONTROL:
    case VK_MENU: key.kind = ScannerKey::Kind::Modifier; return true;
    default: key.kind = ScannerKey::Kind::Other; return true;
  }
}

int CharacterCount(const std::string& utf8) {
  int count = 0;
  for (unsigned char c : utf8) count += (c & 0xC0) != 0x80;
  return count;
}

} // namespace

bool CSubDlgDecode::IsScannerInput(wxWindow* target) const {
  // While our result dialog is up the scanner's next code must not reach it; otherwise input for
  // another window of the program is not the scanner's.
  return target && (m_nErgebnisOffen > 0 || wxGetTopLevelParent(target) == wxGetTopLevelParent(const_cast<CSubDlgDecode*>(this)));
}

int CSubDlgDecode::OnDirekteTastaturEingabe(MSG* pMsg) {
  if (!HasWindow() || !pMsg || !IsScannerInput(pMsg->hwnd)) return 0;
  KillTimer(m_nTastaturTimer);
  m_nTastaturTimer = 0;
  int consumed = 0;
  ScannerKey key;
  if (std::chrono::steady_clock::now() < m_replayUntil) {
    if (pMsg->message == WM_KEYUP && ToScannerKey(*pMsg, key) && key.kind != ScannerKey::Kind::Modifier)
      m_replayUntil = {}; // the key handed back is through
  } else if (ToScannerKey(*pMsg, key)) {
    // Where keys cannot be handed back, a person's lone key passes at once instead of waiting.
    const bool mayHold = CanReplayKeys() || key.kind == ScannerKey::Kind::Text;
    if (pMsg->message == WM_KEYUP) consumed = m_keystrokes.TakesRelease(key);
    else consumed = (mayHold || m_keystrokes.HasKeys()) && m_keystrokes.Press(key);
  }
  SetTimer();
  return consumed;
}

void CSubDlgDecode::SetTimer() { m_nTastaturTimer = CPageCtrl::SetTimer(kTastaturTimer, kTastaturIdleMs); }

void CSubDlgDecode::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != m_nTastaturTimer || nIDEvent == 0) return;
  KillTimer(m_nTastaturTimer);
  m_nTastaturTimer = 0;
  ScannerKeystrokes::Idle idle = m_keystrokes.OnIdle();
  if (idle.keyForWindow && ReplayKey(idle.keyForWindow->keyCode, idle.keyForWindow->modifiers))
    m_replayUntil = std::chrono::steady_clock::now() + kReplayWindow;
  std::erase_if(idle.texts, [](const std::string& text) { return CharacterCount(text) < kMinimumCharacters; });
  if (m_nErgebnisOffen > 0) m_arWartendeTexte.insert(m_arWartendeTexte.end(), idle.texts.begin(), idle.texts.end());
  else ReportTastatur(idle.texts);
}

void CSubDlgDecode::ReportTastatur(const std::vector<std::string>& texts) {
  for (const std::string& text : texts) {
    CDecodeResultArray results(1);
    CArray<POINT, POINT> noPoints;
    results.AddDecodeResult(CString(text.c_str()), "Tastatur", noPoints);
    OnQRCodeDecoded(results);
  }
}
