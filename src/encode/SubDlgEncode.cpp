#include "encode/SubDlgEncode.h"

#include "config/QRCodeKonfiguration.h"
#include "encode/CalcAusdehnung.h"
#include "encode/CodeCapacity.h"
#include "encode/CodeSizeDialog.h"
#include "encode/TypedFormDialog.h"
#include "encode/EncodedBitmap.h"
#include "outside/DataExchange.h"
#include "outside/DibServices.h"
#include "outside/FileDialog.h"
#include "outside/GlobalMemory.h"
#include "outside/GlobaleBezeichner.h"
#include "outside/MessageBox.h"
#include "outside/TextServices.h"
#include "outside/VCard.h"
#include "outside/VCardEingabeDialog.h"
#include "outside/WxText.h"

#include <wx/bitmap.h>
#include <wx/button.h>
#include <wx/clipbrd.h>
#include <wx/dataobj.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kEdit = 1001, kSave = 1002, kCode = 1003, kVariable = 1004, kCopy = 1006, kSizeLabel = 4000, kVCard = 4010;
constexpr int kCopyModulePixels = 8, kQuietModules = 4;
constexpr int kFirstForm = 4011; // WLAN … MeCard, in the order of AllTypedForms

// The text as the code carries it: lines end with "\n", a vCard's with "\r\n" as vCard requires.
CString TextToEncode(const CString& edited) {
  const CString text = SetNewLineText(edited, "\n");
  CStringArray lines;
  BreakLine(text, lines);
  CVCardReader reader;
  return IsVCard(lines, reader) ? SetNewLineText(text, "\r\n") : text;
}

// The code as a picture: kCopyModulePixels a module, with its quiet zone.
wxImage CodeImage(const CodeMatrix& code) {
  const int side = (code.size + 2 * kQuietModules) * kCopyModulePixels;
  wxImage image(side, side);
  image.SetRGB(wxRect(0, 0, side, side), 255, 255, 255);
  for (int row = 0; row < code.size; ++row)
    for (int column = 0; column < code.size; ++column)
      if (code.At(row, column))
        image.SetRGB(wxRect((column + kQuietModules) * kCopyModulePixels, (row + kQuietModules) * kCopyModulePixels,
                            kCopyModulePixels, kCopyModulePixels), 0, 0, 0);
  return image;
}

} // namespace

CSubDlgEncodeBase::CSubDlgEncodeBase()
    : CDecodeEncoderBaseDialog("IDD_SUBDLG_ENCODE"), m_btnCode(this),
      m_strText("https://" + CGlobaleBezeichner::m_strUrlBrennwaldSystemtechnik) {}

CSubDlgEncodeBase::~CSubDlgEncodeBase() {
  if (m_hDib) GlobalFree(m_hDib);
}

BOOL CSubDlgEncodeBase::OnInitDialog() {
  m_btnCode.Create(this);
  wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", kCode), &m_btnCode, this);
  m_btnSpeichern = dynamic_cast<wxButton*>(GetDlgItem(kSave));
  m_btnKopieren = dynamic_cast<wxButton*>(GetDlgItem(kCopy));
  Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnEnChange(); }, kEdit);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedSave(); }, kSave);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedCopy(); }, kCopy);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedVCard(); }, kVCard);
  for (std::size_t i = 0; i < AllTypedForms().size(); ++i)
    Bind(wxEVT_BUTTON, [this, form = AllTypedForms()[i]](wxCommandEvent&) { OnBnClickedForm(form); },
         kFirstForm + static_cast<int>(i));
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedVariable(); }, kVariable);
  CDecodeEncoderBaseDialog::OnInitDialog();
  OnEnChange();
  SafeShowWindow(this, kVariable, static_cast<bool>(m_fnVariable));
  Layout();
  return TRUE;
}

void CSubDlgEncodeBase::DoDataExchange(CDataExchange* pDX) {
  CDecodeEncoderBaseDialog::DoDataExchange(pDX);
  if (m_bTextNotEmpty) DDX_TextNotEmpty(pDX, kEdit, m_strText);
  else DDX_Text(pDX, kEdit, m_strText);
}

CString CSubDlgEncodeBase::EditedText() {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetDlgItem(kEdit));
  return edit ? TextToEncode(FromWx(edit->GetValue())) : CString();
}

void CSubDlgEncodeBase::OnEnChange() {
  if (!GetDlgItem(kEdit)) return;
  const CString text = EditedText();
  if (m_hDib) {
    GlobalFree(m_hDib);
    m_hDib = nullptr;
  }
  CSubDlgEncodeBaseCalcAusdehnungFest onePixel(1, 1);
  m_hDib = GetEncodedBitmap(text, GetEncoder(), onePixel, 0, 0xFFFFFF);
  m_strKeinCode = m_hDib || text.IsEmpty() ? CString() : TooLongText(text);
  EnableButtons();
  m_btnCode.Refresh();
}

// The code area says why there is no code, with the limit for this encoder and correction.
CString CSubDlgEncodeBase::TooLongText(const CString& text) {
  const CString utf8 = GetAsUTF8String(text);
  const bool ascii = std::all_of(utf8.view().begin(), utf8.view().end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  int& limit = m_nHoechstens[ascii ? 0 : 1];
  if (limit < 0) limit = LargestEncodableBytes(GetEncoder(), ascii);
  return GetFormatedString("Der Text ist zu lang für einen QR-Code: %d Bytes, höchstens %d Bytes mit Fehlerkorrektur %c "
                           "(Bibliothek %s).",
                           utf8.GetLength(), limit, GetEncoder().GetFehlerkorrektur(), GetEncoder().GetNameBibliothek().GetString());
}

void CSubDlgEncodeBase::EnableButtons() {
  m_btnCode.Show(m_hDib != nullptr || !m_strKeinCode.IsEmpty());
  if (m_btnSpeichern) m_btnSpeichern->Show(m_hDib != nullptr);
  if (m_btnKopieren) m_btnKopieren->Show(m_hDib != nullptr);
  CString label;
  if (m_hDib) {
    const CSize size = GetDIBSize(m_hDib);
    label.Format("%d x %d", size.cx, size.cy);
  }
  if (auto* sizeLabel = dynamic_cast<wxStaticText*>(GetDlgItem(kSizeLabel))) sizeLabel->SetLabel(ToWx(label));
}

void CSubDlgEncodeBase::OnBnClickedSave() {
  if (!m_hDib) return;
  const auto chosen =
      AskForSaveFile(this, "*.bmp", "bmp", "BMP-Dateien(*.bmp)|*.bmp|PNG-Dateien(*.png)|*.png|SVG-Dateien(*.svg)|*.svg|PDF-Dateien(*.pdf)|*.pdf||");
  if (!chosen) return;
  const CString path = *chosen;
  const std::optional<CodeFileFormat> format = CodeFileFormatOf(path.GetString());
  std::string why;
  if (!format || *format == CodeFileFormat::Bmp) {
    if (WriteDIB(path, m_hDib)) return;
    why = std::strerror(errno); // the old file, if any, is as it was
  } else if (SaveAtSize(path, *format, why)) {
    return;
  }
  if (why.empty()) return; // the size was not given
  AfxMessageBox(GetFormatedString("Die Datei „%s“ kann nicht gespeichert werden: %s.", path.GetString(), why.c_str()),
                MB_OK | MB_ICONERROR);
}

bool CSubDlgEncodeBase::SaveAtSize(const CString& path, CodeFileFormat format, std::string& error) {
  const std::optional<CodeMatrix> code = MakeCodeMatrix(EditedText(), GetEncoder());
  if (!code) {
    error = "kein Code";
    return false;
  }
  const std::optional<CodeSize> size = AskCodeSize(wxGetTopLevelParent(this), format == CodeFileFormat::Png);
  if (!size) return false;
  CodeFileLayout layout;
  layout.marginModules = kQuietModules;
  layout.dpi = size->dpi;
  layout.codeMillimetres = size->millimetres;
  layout.modulePixels = ModulePixelsFor(size->millimetres, size->dpi, code->size);
  if (!layout.modulePixels && format != CodeFileFormat::Png) layout.modulePixels = 1; // drawings need no pixels
  if (!layout.modulePixels) {
    error = GetFormatedString("bei %g dpi wäre ein Modul kleiner als ein Pixel", size->dpi).GetString();
    return false;
  }
  return WriteCodeFile(path.GetString(), format, *code, layout, error);
}

// The code as a picture (PNG on the clipboard) and its text, for pasting into documents.
void CSubDlgEncodeBase::OnBnClickedCopy() {
  const CString text = EditedText();
  const std::optional<CodeMatrix> code = MakeCodeMatrix(text, GetEncoder());
  if (!code) return;
  wxClipboardLocker open;
  if (!open) {
    AfxMessageBox("Die Zwischenablage kann nicht geöffnet werden.", MB_OK | MB_ICONERROR);
    return;
  }
  auto* both = new wxDataObjectComposite;
  both->Add(new wxBitmapDataObject(wxBitmap(CodeImage(*code))), true);
  both->Add(new wxTextDataObject(ToWx(text)));
  wxTheClipboard->SetData(both);
}

void CSubDlgEncodeBase::OnBnClickedVCard() {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetDlgItem(kEdit));
  if (!edit) return;
  CVCardEingabeDialog dialog(wxGetTopLevelParent(this));
  dialog.m_fnVCard = m_fnVCard;
  dialog.InitValue(FromWx(edit->GetValue()));
  if (dialog.DoModal() != IDOK) return;
  // The field shows plain line breaks; the code gets the vCard's own (TextToEncode).
  edit->ChangeValue(ToWx(SetNewLineText(dialog.GetVCardText(), "\n")));
  OnEnChange();
}

// The form fills the text; the text stays editable, and the form reopens from it.
void CSubDlgEncodeBase::OnBnClickedForm(TypedForm form) {
  auto* edit = dynamic_cast<wxTextCtrl*>(GetDlgItem(kEdit));
  if (!edit) return;
  CTypedFormDialog dialog(wxGetTopLevelParent(this), form, FromWx(edit->GetValue()).str());
  if (dialog.ShowModal() != wxID_OK) return;
  edit->ChangeValue(ToWx(SetNewLineText(dialog.Text().c_str(), "\n")));
  OnEnChange();
}

void CSubDlgEncodeBase::OnBnClickedVariable() {
  if (m_fnVariable) m_fnVariable(this, kVariable, kEdit);
}

CSubDlgEncodeBase& GetCurrentEncoder() {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  static CSubDlgEncode_QREncode qrEncode;
  static CSubDlgEncode_ZInt zint;
  if (settings.m_eEncoder != Encoder_QREncode) return zint;
  return qrEncode;
}
