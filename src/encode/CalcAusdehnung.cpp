#include "encode/CalcAusdehnung.h"

namespace {

// A code never has fewer than one module; a back end that claims so gets no pixels.
int ModuleSize(int total, int modules) { return modules > 0 ? total / modules : 0; }

} // namespace

void CSubDlgEncodeBaseCalcAusdehnungBase::InitAusdehnung(int, int) {}

CSubDlgEncodeBaseCalcAusdehnungFest::CSubDlgEncodeBaseCalcAusdehnungFest(int cx, int cy) {
  m_cxModul = cx;
  m_cyModul = cy;
}

void CSubDlgEncodeBaseCalcAusdehnungFest::InitAusdehnung(int, int) {}

CSubDlgEncodeBaseCalcAusdehnungFesteGroesse::CSubDlgEncodeBaseCalcAusdehnungFesteGroesse(CSize sizeGesamt)
    : m_sizeGesamt(sizeGesamt) {}

void CSubDlgEncodeBaseCalcAusdehnungFesteGroesse::InitAusdehnung(int nCodeWidth, int nCodeRows) {
  m_cxModul = ModuleSize(m_sizeGesamt.cx, nCodeWidth);
  m_cyModul = ModuleSize(m_sizeGesamt.cy, nCodeRows);
}

CSubDlgEncodeBaseCalcAusdehnungFesteHoehe::CSubDlgEncodeBaseCalcAusdehnungFesteHoehe(int nGesamtHoehe)
    : m_nGesamtHoehe(nGesamtHoehe) {}

void CSubDlgEncodeBaseCalcAusdehnungFesteHoehe::InitAusdehnung(int, int nCodeRows) {
  m_cxModul = ModuleSize(m_nGesamtHoehe, nCodeRows);
  m_cyModul = m_cxModul;
}
