// Module-size calculators: how many pixels one module of a code gets.
#pragma once

#include "CodewerkExport.h"
#include "outside/WinTypes.h"

class CODEWERK_EXPORT CSubDlgEncodeBaseCalcAusdehnungBase {
public:
  CSubDlgEncodeBaseCalcAusdehnungBase() = default;
  CSubDlgEncodeBaseCalcAusdehnungBase(const CSubDlgEncodeBaseCalcAusdehnungBase&) = default;
  CSubDlgEncodeBaseCalcAusdehnungBase& operator=(const CSubDlgEncodeBaseCalcAusdehnungBase&) = default;

  // Called once the code's size is known, before the bitmap's size is worked out.
  virtual void InitAusdehnung(int nCodeWidth, int nCodeRows) = 0;

  int m_cxModul = 0;
  int m_cyModul = 0;

protected:
  ~CSubDlgEncodeBaseCalcAusdehnungBase() = default;
};

// A module size fixed at construction.
class CODEWERK_EXPORT CSubDlgEncodeBaseCalcAusdehnungFest : public CSubDlgEncodeBaseCalcAusdehnungBase {
public:
  CSubDlgEncodeBaseCalcAusdehnungFest(int cx, int cy);
  void InitAusdehnung(int nCodeWidth, int nCodeRows) override;
};

// The largest module size that keeps the picture within a wished total size.
class CODEWERK_EXPORT CSubDlgEncodeBaseCalcAusdehnungFesteGroesse : public CSubDlgEncodeBaseCalcAusdehnungBase {
public:
  explicit CSubDlgEncodeBaseCalcAusdehnungFesteGroesse(CSize sizeGesamt);
  void InitAusdehnung(int nCodeWidth, int nCodeRows) override;

  CSize m_sizeGesamt;
};

// Square modules, as large as fit a wished total height.
class CODEWERK_EXPORT CSubDlgEncodeBaseCalcAusdehnungFesteHoehe : public CSubDlgEncodeBaseCalcAusdehnungBase {
public:
  explicit CSubDlgEncodeBaseCalcAusdehnungFesteHoehe(int nGesamtHoehe);
  void InitAusdehnung(int nCodeWidth, int nCodeRows) override;

  int m_nGesamtHoehe = 0;
};
