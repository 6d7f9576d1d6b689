// The "WebCam" source: a camera started on a worker thread, then every 250 ms a frame is saved,
// decoded by the owning decode page and shown in the preview.
#pragma once

#include "sources/DecodeGrafikVorschauButton.h"
#include "sources/StarteWebCamThread.h"
#include "sources/SubDlgDecodeBaseSubDlg.h"

#include <wx/button.h>
#include <wx/weakref.h>

#include <chrono>

class CSubDlgDecode_WebCam;

// The preview shows the page's status while no camera runs, and frames without frames or menus.
class CODEWERK_EXPORT CWebCamVorschauButton : public CDecodeGrafikVorschauButton {
public:
  bool GetAnzeigeText(CString& text) override;
  void DrawErgebnisRahmen(wxDC&, const CRect&) override {}
  void ShowKontextMenu(CDecodeGrafikResult*, int, int) override {}
  // Live frames: nothing to act on.
  bool AcceptsFocus() const override { return false; }

  CSubDlgDecode_WebCam* m_pDlgWebCam = nullptr;
};

class CODEWERK_EXPORT CSubDlgDecode_WebCam : public CSubDlgDecodeBaseSubDlg {
public:
  explicit CSubDlgDecode_WebCam(CSubDlgDecode& owner);
  ~CSubDlgDecode_WebCam() override;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  // Installs a camera handle (null: none), releasing the one before.
  void SetWebCam(void* webcam);
  // Waits for a start in progress to end (the wait cursor meanwhile) and deletes its worker.
  void DoneWebCamCreateThread();
  void DoneWebCam();
  using CSubDlgDecodeBaseSubDlg::SetTimer;
  void SetTimer();

  void OnBnClickedFromWebCam();
  void OnTimer(UINT_PTR nIDEvent) override;
  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  bool NeedSetActiveTabPrepareForCloseDialog() override;
  bool PrepareForCloseDialog() override;

  UINT_PTR m_nTimer = 0;
  wxWeakRef<wxButton> m_btnWebCam;
  CWebCamVorschauButton m_btnVorschau;
  void* m_pWebCam = nullptr;
  CString m_strStatus;
  char m_szBildDatei[MAX_PATH] = {};
  // The text last reported, and when a frame last showed it: after its dialog it is reported
  // again only once it has been out of view for a while, or the dialog would open at once again.
  CString m_strGemeldet;
  std::chrono::steady_clock::time_point m_gemeldetGesehen;
  CStarteWebCamThread* m_pStarteThread = nullptr;

private:
  void RedrawVorschau();
  // Takes over a camera the worker has opened, or notes that it ended without one.
  void CheckStarteThread();
  void DecodeFrame();

  int m_nFehlendeBilder = 0;          // failed saves in a row
};
