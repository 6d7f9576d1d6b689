#include "sources/SubDlgDecode_WebCam.h"

#include "decode/SubDlgDecode.h"
#include "outside/TempFiles.h"
#include "outside/tq_vision.h"

#include <wx/button.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

constexpr int kStartStop = 1007, kPreview = 4004;
constexpr UINT_PTR kFrameTimer = 1314;
constexpr UINT kFramePeriodMs = 250;
constexpr auto kWorkerPoll = std::chrono::milliseconds(100);
// A frame that cannot be saved is tried again next tick; this many in a row mean the camera has gone.
constexpr int kMaxFehlendeBilder = 8;
constexpr auto kWiederMeldenNach = std::chrono::seconds(2);

constexpr const char* kStarte = "Starte WebCam";
constexpr const char* kStoppe = "Stoppe WebCam";
constexpr const char* kInitialisiere = "Initialisiere WebCam";
constexpr const char* kWarte = "Warte auf Ende der WebCam-Initialisierung";
constexpr const char* kFehler = "WebCam kann nicht initialisiert werden";
constexpr const char* kVerloren = "Die WebCam liefert keine Bilder mehr";

} // namespace

bool CWebCamVorschauButton::GetAnzeigeText(CString& text) {
  if (m_pDlgWebCam->m_pWebCam) return false;
  text = m_pDlgWebCam->m_strStatus;
  return true;
}

CSubDlgDecode_WebCam::CSubDlgDecode_WebCam(CSubDlgDecode& owner)
    : CSubDlgDecodeBaseSubDlg("IDD_SUBDLG_DECODE_WEBCAM", owner) {
  m_btnVorschau.m_pDlgWebCam = this;
  char folder[MAX_PATH] = {};
  if (GetTempPathA(MAX_PATH, folder)) GetTempFileNameA(folder, "TQWebCam", 0, m_szBildDatei, ".bmp");
}

CSubDlgDecode_WebCam::~CSubDlgDecode_WebCam() {
  DoneWebCamCreateThread();
  SetWebCam(nullptr);
  m_strStatus.Empty();
  // The snapshot goes with the page.
  if (*m_szBildDatei) std::remove(m_szBildDatei);
}

BOOL CSubDlgDecode_WebCam::OnInitDialog() {
  m_btnVorschau.Create(this);
  wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", kPreview), &m_btnVorschau, this);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedFromWebCam(); }, kStartStop);
  return CSubDlgDecodeBaseSubDlg::OnInitDialog();
}

void CSubDlgDecode_WebCam::DoDataExchange(CDataExchange* pDX) {
  CSubDlgDecodeBaseSubDlg::DoDataExchange(pDX);
  m_btnWebCam = dynamic_cast<wxButton*>(GetDlgItem(kStartStop));
}

void CSubDlgDecode_WebCam::RedrawVorschau() {
  if (!m_btnVorschau.GetHandle()) return;
  m_btnVorschau.Refresh();
  m_btnVorschau.Update();
}

void CSubDlgDecode_WebCam::SetWebCam(void* webcam) {
  if (m_pWebCam) ::DoneWebCam(m_pWebCam);
  m_pWebCam = webcam;
  m_nFehlendeBilder = 0;
  m_strStatus = webcam ? "" : kFehler;
  if (m_btnWebCam) {
    m_btnWebCam->Enable();
    m_btnWebCam->SetLabel(wxString::FromUTF8(webcam ? kStoppe : kStarte));
  }
  RedrawVorschau();
}

void CSubDlgDecode_WebCam::DoneWebCamCreateThread() {
  if (!m_pStarteThread) return;
  bool waiting = false;
  for (DWORD code = STILL_ACTIVE; m_pStarteThread->GetExitCodeThread(&code) && code == STILL_ACTIVE;) {
    if (!waiting) {
      waiting = true;
      m_strStatus = kWarte;
      RedrawVorschau();
      wxBeginBusyCursor();
    }
    std::this_thread::sleep_for(kWorkerPoll);
  }
  delete m_pStarteThread; // joins, and closes a camera that opened meanwhile
  m_pStarteThread = nullptr;
  if (waiting) wxEndBusyCursor();
}

void CSubDlgDecode_WebCam::DoneWebCam() {
  DoneWebCamCreateThread();
  SetWebCam(nullptr);
  m_strStatus.Empty();
  RedrawVorschau();
}

void CSubDlgDecode_WebCam::SetTimer() { m_nTimer = SetTimer(kFrameTimer, kFramePeriodMs); }

void CSubDlgDecode_WebCam::OnBnClickedFromWebCam() {
  if (m_pStarteThread) return;
  if (m_pWebCam) {
    DoneWebCam();
    return;
  }
  m_strStatus = kInitialisiere;
  if (m_btnWebCam) m_btnWebCam->Disable();
  RedrawVorschau();
  m_pStarteThread = new CStarteWebCamThread;
  m_pStarteThread->CreateThread();
  SetTimer();
}

void CSubDlgDecode_WebCam::CheckStarteThread() {
  if (!m_pStarteThread) return;
  if (void* webcam = m_pStarteThread->GetWebCam()) {
    m_pStarteThread->SetWebCam(nullptr); // the page owns it now
    DoneWebCamCreateThread();
    SetWebCam(webcam);
    return;
  }
  DWORD code = STILL_ACTIVE;
  if (m_pStarteThread->GetExitCodeThread(&code) && code != STILL_ACTIVE) {
    DoneWebCamCreateThread();
    SetWebCam(nullptr);
  }
}

void CSubDlgDecode_WebCam::DecodeFrame() {
  CDecodeResultArray results(1);
  if (!SaveWebCamImage(m_pWebCam, m_szBildDatei)) {
    if (++m_nFehlendeBilder >= kMaxFehlendeBilder) {
      SetWebCam(nullptr); // unplugged or ended: offer a new start
      m_strStatus = kVerloren;
      RedrawVorschau();
    }
    return;
  }
  m_nFehlendeBilder = 0;
  bool found = false;
  if (void* handle = m_pOwner->DecodeImage(m_szBildDatei, T_DecodeImageSource_WebCam)) {
    results.AddDecodeResult(*m_pOwner, handle);
    m_pOwner->FreeDecodeResult(handle);
    found = true;
  }
  m_btnVorschau.m_arGrafiken.Clear(0);
  m_btnVorschau.LoadVorschauDatei(m_szBildDatei, results);
  m_btnVorschau.Refresh();
  if (!found) return;
  const auto now = std::chrono::steady_clock::now();
  const CString text = results.GetMessageText(true);
  const bool seenJustNow = text == m_strGemeldet && now - m_gemeldetGesehen < kWiederMeldenNach;
  m_gemeldetGesehen = now;
  if (seenJustNow) return;
  m_strGemeldet = text;
  m_pOwner->OnQRCodeDecoded(results);
  m_gemeldetGesehen = std::chrono::steady_clock::now(); // the dialog was up till now
}

void CSubDlgDecode_WebCam::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != m_nTimer) {
    CSubDlgDecodeBaseSubDlg::OnTimer(nIDEvent);
    return;
  }
  KillTimer(m_nTimer);
  m_nTimer = 0;
  CheckStarteThread();
  if (m_pWebCam) DecodeFrame();
  // Re-armed only now, so a slow decode or a result dialog stretches the period instead of
  // queueing ticks.
  if (m_pWebCam || m_pStarteThread) SetTimer();
}

void CSubDlgDecode_WebCam::OnShowWindow(BOOL bShow, UINT nStatus) {
  CSubDlgDecodeBaseSubDlg::OnShowWindow(bShow, nStatus);
  if (bShow && !m_pWebCam) CallAfter([this] { OnBnClickedFromWebCam(); });
}

bool CSubDlgDecode_WebCam::NeedSetActiveTabPrepareForCloseDialog() { return m_pStarteThread != nullptr; }

bool CSubDlgDecode_WebCam::PrepareForCloseDialog() {
  if (m_nTimer) {
    KillTimer(m_nTimer);
    m_nTimer = 0;
  }
  DoneWebCam();
  return true;
}
