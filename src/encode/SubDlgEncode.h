// The "Erstellen" page: the text is encoded at every change, shown, copied to the clipboard, and
// saved as BMP (one pixel a module) or as PNG, SVG or PDF at a size in millimetres.
#pragma once

#include "CodewerkExport.h"
#include "encode/CodeDrawButton.h"
#include "encode/CodeFiles.h"
#include "encode/TypedForms.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/VCard.h"
#include "shell/BaseSubDlg.h"

#include <functional>
#include <string>

class wxButton;

class CODEWERK_EXPORT CSubDlgEncodeBase : public CDecodeEncoderBaseDialog {
public:
  CSubDlgEncodeBase();
  ~CSubDlgEncodeBase() override;

  virtual CEncoderItemBase& GetEncoder() = 0;

  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* pDX) override;

  HGLOBAL m_hDib = nullptr; // the code at one pixel per module; the page's
  CString m_strKeinCode;     // why there is no code for a text that is not empty
  CCodeDrawButton m_btnCode;
  wxButton* m_btnSpeichern = nullptr;
  wxButton* m_btnKopieren = nullptr;
  CString m_strText;
  bool m_bTextNotEmpty = false;
  std::function<void(CBaseKunde&)> m_fnVCard;
  std::function<void(CSubDlgEncodeBase*, int, int)> m_fnVariable;

  // Encodes the edit's text anew and shows the result.
  void OnEnChange();
  void EnableButtons();
  void OnBnClickedSave();
  void OnBnClickedCopy();
  void OnBnClickedVCard();
  void OnBnClickedForm(TypedForm form);
  void OnBnClickedVariable();

private:
  CString TooLongText(const CString& text);
  CString EditedText();
  // PNG, SVG or PDF at the size the user gives; false when the write failed (errno, message).
  bool SaveAtSize(const CString& path, CodeFileFormat format, std::string& error);
  int m_nHoechstens[2] = {-1, -1}; // the encoder's limit in bytes for ASCII and other texts, once known
};

class CODEWERK_EXPORT CSubDlgEncode_QREncode final : public CSubDlgEncodeBase {
public:
  CEncoderItemBase& GetEncoder() override { return m_encoder; }
  CEncoderGetCodeItem_QREncode m_encoder;
};

class CODEWERK_EXPORT CSubDlgEncode_ZInt final : public CSubDlgEncodeBase {
public:
  CEncoderItemBase& GetEncoder() override { return m_encoder; }
  CEncoderGetCodeItem_ZInt m_encoder;
};

// The encode page (and through it the encoder) that the settings choose; it never gets a window.
CODEWERK_EXPORT CSubDlgEncodeBase& GetCurrentEncoder();
