// Opens the camera on a thread of its own, since that can take seconds; the webcam page takes the
// handle over from it on a timer tick.
#pragma once

#include "CodewerkExport.h"
#include "outside/WinTypes.h"

#include <atomic>
#include <mutex>
#include <thread>

constexpr DWORD STILL_ACTIVE = 259;

class CODEWERK_EXPORT CStarteWebCamThread {
public:
  CStarteWebCamThread() = default;
  // Only once the thread has ended; closes a camera that was opened but never taken over.
  virtual ~CStarteWebCamThread();
  CStarteWebCamThread(const CStarteWebCamThread&) = delete;
  CStarteWebCamThread& operator=(const CStarteWebCamThread&) = delete;

  BOOL CreateThread();
  // STILL_ACTIVE while the thread runs, then Run's result.
  BOOL GetExitCodeThread(DWORD* exitCode) const;

  void* GetWebCam();
  // Stores webcam and returns the handle it replaces.
  void* SetWebCam(void* webcam);

  virtual BOOL InitInstance() { return TRUE; }
  virtual int Run();

protected:
  std::mutex m_csWebCam;
  void* m_pWebCam = nullptr;

private:
  std::thread m_thread;
  std::atomic<DWORD> m_nExitCode{STILL_ACTIVE};
};
