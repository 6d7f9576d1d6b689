#include "decode/SubDlgDecodeResult.h"

CSubDlgDecodeResult::CSubDlgDecodeResult(const CString& text, const CString& symbol, const CArray<POINT, POINT>& points)
    : m_strText(text), m_strSymbol(symbol), m_arPoints(points) {}

CSubDlgDecodeResult& CSubDlgDecodeResult::operator=(const CSubDlgDecodeResult& other) {
  if (this == &other) return *this;
  m_strText = other.m_strText;
  m_strSymbol = other.m_strSymbol;
  m_arPoints.RemoveAll();
  m_arPoints.Append(other.m_arPoints);
  return *this;
}
