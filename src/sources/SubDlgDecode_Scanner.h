// The "Scanner" source: pages from a document scanner are decoded one by one, shown in the
// preview, deleted, and reported once for the whole batch. Two pages share this: the batch scan
// (the default) and the import, which the local setting "UseOldScanProgram" chooses.
#pragma once

#include "sources/DecodeGrafikVorschauButton.h"
#include "decode/DecoderInterface.h"
#include "sources/SubDlgDecodeBaseSubDlg.h"

#include <vector>

class wxButton;

class CODEWERK_EXPORT CSubDlgDecode_ScannerBase : public CSubDlgDecodeBaseSubDlg {
public:
  explicit CSubDlgDecode_ScannerBase(CSubDlgDecode& owner);

  BOOL OnInitDialog() override;
  void OnShowWindow(BOOL bShow, UINT nStatus) override;
  virtual void OnBnClickedFromScanner() = 0;

  // Decodes the page files in order into the preview, deletes them and empties the list, then
  // reports: the codes found, or that there were none.
  void DecodeScannedFiles(CStringArray& files);
  // The same for pictures from source; only those marked ours are deleted.
  void DecodePictureFiles(CStringArray& files, const std::vector<bool>& ours, T_DecodeImageSource source);

  CDecodeGrafikVorschauButton m_Vorschau;

protected:
  // The preview's picture of a page: the new page makes it from the file's bitmap.
  virtual void AddVorschau(const CString& file, const CDecodeResultArray& results);
  wxButton* ScanButton() const;
  wxButton* DropDownButton() const;
};
