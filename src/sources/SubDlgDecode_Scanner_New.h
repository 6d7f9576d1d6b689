// The batch scan: "von Scanner" scans every page the chosen source gives.
#pragma once

#include "outside/Scanning.h"
#include "sources/SubDlgDecode_Scanner.h"

class CSubDlgDecode_Scanner_New;

// The scan button with the scanner picture; its menu chooses the device and the source.
class CODEWERK_EXPORT CNewScannenButton : public CScanAuswahlButton {
public:
  explicit CNewScannenButton(CSubDlgDecode_Scanner_New& page);

  CSubDlgDecode_Scanner_New* m_pPage;
};

class CODEWERK_EXPORT CSubDlgDecode_Scanner_New : public CSubDlgDecode_ScannerBase {
public:
  explicit CSubDlgDecode_Scanner_New(CSubDlgDecode& owner);
  ~CSubDlgDecode_Scanner_New() override;

  void DoDataExchange(CDataExchange* pDX) override;
  void OnBnClickedFromScanner() override;

  CNewScannenButton m_btnScannen;

protected:
  void AddVorschau(const CString& file, const CDecodeResultArray& results) override;
};
