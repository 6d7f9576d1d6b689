// Names the family's programs share.
#pragma once

#include "CString.h"

struct CGlobaleBezeichner {
  // The maker's web address, without scheme.
  static const CString m_strUrlBrennwaldSystemtechnik;
};
