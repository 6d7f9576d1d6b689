// Where every source reports: found codes go to the host's handler or the "Ergebnis" dialog, a
// read without codes to the host's handler or a message.
#include "decode/SubDlgDecode.h"

#include "outside/MessageBox.h"
#include "outside/MessageFilter.h"
#include "results/DecodeResultTasksDialog.h"
#include "results/VerlaufRecorder.h"

#include <utility>

void CSubDlgDecode::OnQRCodeDecoded(const CDecodeResultArray& results) {
  CDTemplateArray<CDecodeGrafikResult> noImages(1);
  OnQRCodeDecoded(results, noImages);
}

void CSubDlgDecode::OnQRCodeDecoded(const CDecodeResultArray& results, CDTemplateArray<CDecodeGrafikResult>& images) {
  MessageBeep(0);
  const int tab = m_wndTabCtrl.GetSelection();
  RecordReads(tab >= 0 && tab < m_wndTabCtrl.GetPageCount() ? m_wndTabCtrl.GetTabLabel(tab) : CString(), results, images,
              m_bHostReadIn);
  if (m_fnOnDecoded) {
    // The host's handler may show dialogs of its own: the scanner's catch steps aside meanwhile.
    const bool filterWasOn = m_dlgBarCodeScanner.m_bHookInstalled;
    m_dlgBarCodeScanner.Remove_WinApp_PreTranslateMessage_Function();
    if (m_fnOnDecoded(&results, &images)) {
      OnOK();
      return;
    }
    if (filterWasOn) m_dlgBarCodeScanner.Add_WinApp_PreTranslateMessage_Function();
  }
  {
    CDecodeResultTasksDialog dialog(results, nullptr);
    ++m_nErgebnisOffen;
    dialog.DoModal();
    --m_nErgebnisOffen;
  }
  // Codes scanned while the dialog was up, in the order they came.
  while (m_nErgebnisOffen == 0 && !m_arWartendeTexte.empty()) {
    const std::vector<std::string> waiting = std::exchange(m_arWartendeTexte, {});
    ReportTastatur(waiting);
  }
}

void CSubDlgDecode::OnQRCodeNotFound() {
  CDTemplateArray<CDecodeGrafikResult> noImages(1);
  OnQRCodeNotFound(noImages);
}

void CSubDlgDecode::OnQRCodeNotFound(CDTemplateArray<CDecodeGrafikResult>& images) {
  if (m_fnOnNotFound && m_fnOnNotFound(&images)) {
    OnOK();
    return;
  }
  AfxMessageBox("Es wurden keine QR Codes erkannt.", MB_OK);
}
