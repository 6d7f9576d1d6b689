// One code that was read: its text, the name of its symbology and its corners in the picture.
#pragma once

#include "CodewerkExport.h"
#include "outside/CArray.h"
#include "outside/CString.h"
#include "outside/WinTypes.h"

class CODEWERK_EXPORT CSubDlgDecodeResult {
public:
  CSubDlgDecodeResult() = default;
  CSubDlgDecodeResult(const CString& text, const CString& symbol, const CArray<POINT, POINT>& points);
  CSubDlgDecodeResult(const CSubDlgDecodeResult& other) = default;
  CSubDlgDecodeResult& operator=(const CSubDlgDecodeResult& other);

  CString m_strText;
  CString m_strSymbol;
  CArray<POINT, POINT> m_arPoints;
};
