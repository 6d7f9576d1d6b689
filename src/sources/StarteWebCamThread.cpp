#include "sources/StarteWebCamThread.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/tq_vision.h"

CStarteWebCamThread::~CStarteWebCamThread() {
  if (m_thread.joinable()) m_thread.join();
  if (void* untaken = SetWebCam(nullptr)) DoneWebCam(untaken);
}

BOOL CStarteWebCamThread::CreateThread() {
  if (m_thread.joinable()) return FALSE;
  try {
    m_thread = std::thread([this] { m_nExitCode = InitInstance() ? static_cast<DWORD>(Run()) : 0; });
  } catch (const std::system_error&) {
    m_nExitCode = 0; // no thread: a start that ended without a camera
    return FALSE;
  }
  return TRUE;
}

BOOL CStarteWebCamThread::GetExitCodeThread(DWORD* exitCode) const {
  if (!exitCode) return FALSE;
  *exitCode = m_nExitCode;
  return TRUE;
}

void* CStarteWebCamThread::GetWebCam() {
  std::lock_guard lock(m_csWebCam);
  return m_pWebCam;
}

void* CStarteWebCamThread::SetWebCam(void* webcam) {
  std::lock_guard lock(m_csWebCam);
  std::swap(m_pWebCam, webcam);
  return webcam;
}

int CStarteWebCamThread::Run() {
  SetWebCam(StarteWebCam(false, GetQRCodeKonfiguration().m_sizeWebCam));
  return 0;
}
