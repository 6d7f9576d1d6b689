#include "shell/BaseSubDlg.h"

bool CBaseSubDlg::NeedSetActiveTabPrepareForCloseDialog() { return false; }

bool CBaseSubDlg::PrepareForCloseDialog() { return true; }
