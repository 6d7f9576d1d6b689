// The base of every source page of the decode page.
#pragma once

#include "CodewerkExport.h"
#include "shell/BaseSubDlg.h"

class CSubDlgDecode;

class CODEWERK_EXPORT CSubDlgDecodeBaseSubDlg : public CBaseSubDlg {
public:
  CSubDlgDecodeBaseSubDlg(const char* lpszTemplate, CSubDlgDecode& owner) : CBaseSubDlg(lpszTemplate), m_pOwner(&owner) {}

  CSubDlgDecode* m_pOwner; // decodes and reports for the page
};
