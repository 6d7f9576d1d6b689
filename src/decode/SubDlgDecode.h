// The decode page ("Einlesen"): its source tabs, the keyboard input of a 2D scanner, and the one
// place where every source reports. It is also the decoder interface: a file goes in, a result
// handle comes out.
#pragma once

#include "CodewerkExport.h"
#include "decode/DecodeResultArray.h"
#include "decode/DecoderInterface.h"
#include "shell/BaseSubDlg.h"
#include "shell/BaseSubDlgTabCtrl.h"
#include "sources/DecodeGrafikResult.h"
#include "sources/SubDlgDecode_BarCodeScanner.h"
#include "sources/SubDlgDecode_Bildschirm.h"
#include "sources/SubDlgDecode_Datei.h"
#include "sources/SubDlgDecode_Scanner_New.h"
#include "sources/SubDlgDecode_Scanner_Old.h"
#include "sources/SubDlgDecode_WebCam.h"
#include "sources/SubDlgDecode_Zwischenablage.h"

#include "sources/ScannerKeystrokes.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

struct MSG;

class CODEWERK_EXPORT CSubDlgDecode : public CDecodeEncoderBaseDialog, public DecoderInterface {
public:
  CSubDlgDecode();
  ~CSubDlgDecode() override;

  // The decoder interface. A handle from DecodeImage is freed once with FreeDecodeResult on this page;
  // dropped files are read side by side when CanDecodeConcurrently.
  void* DecodeImage(const char* fileName, T_DecodeImageSource source) override = 0;
  int GetDecodeResultCount(void* handle) override = 0;
  int GetDecodeResultName(void* handle, int index, char* buffer, int bufferSize) override = 0;
  int GetDecodeResultSymbol(void* handle, int index, char* buffer, int bufferSize) override = 0;
  int GetDecodeResultPointArray(void* handle, int index, POINT* points, int maxPoints) override = 0;
  void FreeDecodeResult(void* handle) override = 0;

  // Decodes a file into results; false when the decoder gave no handle (results unchanged).
  bool GetDecodedImageText(const CString& fileName, CDecodeResultArray& results, T_DecodeImageSource source);
  // Reads a handle into results, freeing it only when bFree is set; false for a null handle.
  bool GetDecodedImageTextFromResult(void* handle, CDecodeResultArray& results, bool bFree);

  // Builds the source tabs the first time the page is shown.
  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  int CreateTabCtrl();
  LRESULT OnChangeActiveTab(WPARAM wParam, LPARAM lParam);

  // Keyboard input of a 2D scanner, seen before dispatch; nonzero consumes it.
  int OnDirekteTastaturEingabe(MSG* pMsg);
  void SetTimer();
  void OnTimer(UINT_PTR nIDEvent) override;

  // Every source reports here: a beep, then the host's handler or the "Ergebnis" dialog.
  void OnQRCodeDecoded(const CDecodeResultArray& results);
  void OnQRCodeDecoded(const CDecodeResultArray& results, CDTemplateArray<CDecodeGrafikResult>& images);
  void OnQRCodeNotFound();
  void OnQRCodeNotFound(CDTemplateArray<CDecodeGrafikResult>& images);

  bool NeedSetActiveTabPrepareForCloseDialog() override;
  bool PrepareForCloseDialog() override;
  // Deletes the batch scanner page (hosts).
  void FreeScannerNew();

  CSubDlgDecode_BarCodeScanner m_dlgBarCodeScanner;
  CSubDlgDecode_WebCam m_dlgWebCam;
  CSubDlgDecode_Scanner_Old m_dlgScannerOld;
  CSubDlgDecode_Scanner_New* m_pDlgScannerNew = nullptr; // owned; made when the tabs are built
  CSubDlgDecode_Datei m_dlgDatei;
  CSubDlgDecode_Bildschirm m_dlgBildschirm{*this};
  CSubDlgDecode_Zwischenablage m_dlgZwischenablage{*this};
  bool m_bShow2DScanner = true;
  bool m_bShowWebCam = true;
  bool m_bShowScanner = true;
  bool m_bShowDatei = true;
  bool m_bShowBildschirm = true;
  bool m_bShowZwischenablage = true;
  CBaseSubDlgTabCtrl m_wndTabCtrl;
  bool m_bInitTabs = true;
  bool m_bHostReadIn = false; // a host's read-in: the history records only when the host asks
  UINT_PTR m_nTastaturTimer = 0;
  ScannerKeystrokes m_keystrokes;
  std::function<bool(const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*)> m_fnOnDecoded;
  std::function<bool(const CDTemplateArray<CDecodeGrafikResult>*)> m_fnOnNotFound;

private:
  void AddSourceTabs();
  void SelectRememberedTab();
  void CaptionFromSingleTab();
  bool IsScannerInput(wxWindow* target) const;
  void ReportTastatur(const std::vector<std::string>& texts);

  int m_nErgebnisOffen = 0;                    // our result dialog is up: its keys are the scanner's
  std::vector<std::string> m_arWartendeTexte;  // scanned meanwhile, reported once it closes
  std::chrono::steady_clock::time_point m_replayUntil; // keys handed back to the window pass until then
};

// The decoder the settings choose ("A"/"Dec" exactly 1: ZXing, anything else: ZBar), on the heap,
// without a window; the caller deletes it.
CODEWERK_EXPORT CSubDlgDecode* CreateCurrentDecoder();
