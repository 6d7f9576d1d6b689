// The "Bildschirm" source: every code on the screen, all monitors, our own windows left out.
#pragma once

#include "sources/SubDlgDecode_Scanner.h"

class CODEWERK_EXPORT CSubDlgDecode_Bildschirm : public CSubDlgDecode_ScannerBase {
public:
  explicit CSubDlgDecode_Bildschirm(CSubDlgDecode& owner) : CSubDlgDecode_ScannerBase(owner) {}

  BOOL OnInitDialog() override;
  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  void OnBnClickedFromScanner() override;

protected:
  // Shown as the only source (a host's read-in), the page reads at once.
  bool IsOnlySource() const;
};
