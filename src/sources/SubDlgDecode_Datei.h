// The "Datei" source: picture files dropped from the file manager, or chosen in the file dialog,
// are decoded together and shown in the preview.
#pragma once

#include "sources/DecodeGrafikVorschauButton.h"
#include "sources/SubDlgDecodeBaseSubDlg.h"

// What the drop target tells the page about a drag or a drop.
struct CDragDropTreeRecord {
  int m_nDragState = 0;                  // 0: the files were dropped; otherwise they are dragged over
  const CStringArray* m_pFiles = nullptr; // the dropped file names (no folders)
  int m_nResult = 0;                     // set by the page: 1 when the data holds file names
};

class CODEWERK_EXPORT CSubDlgDecode_Datei : public CSubDlgDecodeBaseSubDlg {
public:
  explicit CSubDlgDecode_Datei(CSubDlgDecode& owner);
  ~CSubDlgDecode_Datei() override;

  BOOL OnInitDialog() override;
  LRESULT OnDragDropTree(WPARAM wParam, LPARAM lParam);
  // Decodes these files as one read (also what a drop does).
  void DecodeFiles(const CStringArray& paths);
  void OnBnClickedOpen();

  CDecodeGrafikVorschauButton m_btnVorschau;
};
