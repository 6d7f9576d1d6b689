// The import: a hidden scanning dialog lives while the tab is shown, and "von Scanner" becomes its
// scan button; pages it has scanned are taken over, decoded and deleted.
#pragma once

#include "outside/Scanning.h"
#include "sources/SubDlgDecode_Scanner.h"

#include <memory>

class CSubDlgDecode_Scanner_Old;

class CODEWERK_EXPORT CSubDlgDecode_Scanner_Old_TwainImport : public CTwainImport {
public:
  explicit CSubDlgDecode_Scanner_Old_TwainImport(CSubDlgDecode_Scanner_Old& page);

  int GetScanDPI() override;
  CString GetScanDateiName() override;
  void OnScanBeendet() override;

  CSubDlgDecode_Scanner_Old* m_pPage;
};

// The hidden import and its scan button, for one visit of the tab.
class CODEWERK_EXPORT CSubDlgDecode_Scanner_Old_TwainImport_Helper {
public:
  explicit CSubDlgDecode_Scanner_Old_TwainImport_Helper(CSubDlgDecode_Scanner_Old& page);
  ~CSubDlgDecode_Scanner_Old_TwainImport_Helper();

  CSubDlgDecode_Scanner_Old* m_pPage;
  CSubDlgDecode_Scanner_Old_TwainImport m_import;
  CTwainImportScannenButton m_button;
};

class CODEWERK_EXPORT CSubDlgDecode_Scanner_Old : public CSubDlgDecode_ScannerBase {
public:
  explicit CSubDlgDecode_Scanner_Old(CSubDlgDecode& owner);
  ~CSubDlgDecode_Scanner_Old() override;

  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  void OnBnClickedFromScanner() override;
  // The import has scanned: its pages are decoded and reported.
  void OnScanBeendet(CTwainImport& import);

  char m_szTempDatei[MAX_PATH] = {};
  std::unique_ptr<CSubDlgDecode_Scanner_Old_TwainImport_Helper> m_pTwain;
};
