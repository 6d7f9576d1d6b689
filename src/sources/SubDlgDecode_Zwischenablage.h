// The "Zwischenablage" source: a picture on the clipboard, or picture files copied in a file
// manager; Ctrl+V on the page reads again.
#pragma once

#include "sources/SubDlgDecode_Bildschirm.h"

class CODEWERK_EXPORT CSubDlgDecode_Zwischenablage : public CSubDlgDecode_Bildschirm {
public:
  using CSubDlgDecode_Bildschirm::CSubDlgDecode_Bildschirm;

  BOOL OnInitDialog() override;
  void OnBnClickedFromScanner() override;
};
