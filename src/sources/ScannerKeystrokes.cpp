#include "sources/ScannerKeystrokes.h"

#include <algorithm>

bool ScannerKeystrokes::Press(const ScannerKey& key) {
  if (key.kind == ScannerKey::Kind::Modifier) return false;
  ++m_nKeysInBurst;
  m_takenCodes.push_back(key.keyCode);
  if (m_nKeysInBurst == 1) {
    m_held = key; // alone or a burst's first key: the next press or the idle period tells
    return true;
  }
  if (m_held) {
    Append(*m_held);
    m_held.reset();
  }
  Append(key);
  return true;
}

bool ScannerKeystrokes::TakesRelease(const ScannerKey& key) const {
  return key.kind != ScannerKey::Kind::Modifier &&
         std::find(m_takenCodes.begin(), m_takenCodes.end(), key.keyCode) != m_takenCodes.end();
}

void ScannerKeystrokes::Append(const ScannerKey& key) {
  switch (key.kind) {
    case ScannerKey::Kind::Text:
      if (m_bAfterEnd && key.text == " ") return;
      m_bAfterEnd = false;
      if (m_bTabPending) m_text += '\t';
      m_bTabPending = false;
      m_text += key.text;
      return;
    case ScannerKey::Kind::End: FinishText(); return;
    case ScannerKey::Kind::Tab: m_bTabPending = !m_text.empty(); return;
    default: return; // the scanner's navigation keys carry no text
  }
}

void ScannerKeystrokes::FinishText() {
  if (!m_text.empty()) m_finished.push_back(m_text);
  m_text.clear();
  m_bTabPending = false;
  m_bAfterEnd = true;
}

ScannerKeystrokes::Idle ScannerKeystrokes::OnIdle() {
  Idle idle;
  if (m_held) idle.keyForWindow = *m_held; // it came alone
  else FinishText();                       // a trailing tab ends the text like Enter
  idle.texts.swap(m_finished);
  m_held.reset();
  m_text.clear();
  m_bTabPending = m_bAfterEnd = false;
  m_nKeysInBurst = 0;
  m_takenCodes.clear();
  return idle;
}
