#include "sources/SubDlgDecode_Datei.h"

#include "decode/SubDlgDecode.h"
#include "outside/FileDialog.h"
#include "outside/MessageBox.h"
#include "outside/TextServices.h"
#include "outside/WxText.h"
#include "sources/DecodeAhead.h"
#include "sources/DecodeDateiArray.h"

#include <wx/dnd.h>
#include <wx/utils.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int kOpen = 1009, kPreview = 4004;

// Files dragged from the file manager; folders are not taken.
class FileDropTarget : public wxFileDropTarget {
public:
  explicit FileDropTarget(CSubDlgDecode_Datei& page) : m_page(page) {}

  wxDragResult OnDragOver(wxCoord, wxCoord, wxDragResult suggested) override {
    CDragDropTreeRecord record;
    record.m_nDragState = 1;
    m_page.OnDragDropTree(0, reinterpret_cast<LPARAM>(&record));
    return suggested;
  }

  bool OnDropFiles(wxCoord, wxCoord, const wxArrayString& names) override {
    CStringArray files;
    for (const wxString& name : names)
      if (!wxDirExists(name)) files.Add(FromWx(name));
    CDragDropTreeRecord record;
    record.m_pFiles = files.IsEmpty() ? nullptr : &files; // folders alone: nothing to take
    m_page.OnDragDropTree(0, reinterpret_cast<LPARAM>(&record));
    return record.m_nResult != 0;
  }

private:
  CSubDlgDecode_Datei& m_page;
};

CString FileNameOf(const CString& path) { return CString(path.str().substr(path.str().rfind('/') + 1)); }

CString Describe(const SkippedPages& skipped) {
  const CString name = "„" + FileNameOf(skipped.file) + "“";
  switch (skipped.reason) {
    case SkippedPages::Reason::TooManyPages:
      return GetFormatedString("%s hat mehr als %d Seiten; gelesen wurden nur die ersten %d.", name.GetString(), kMaxImagePages,
                               skipped.pagesSplit);
    case SkippedPages::Reason::DiskFull:
      return GetFormatedString("Auf dem Datenträger ist kein Platz mehr frei: von %s wurden nur %d Seiten gelesen.",
                               name.GetString(), skipped.pagesSplit);
    case SkippedPages::Reason::WriteFailed:
      break;
  }
  return GetFormatedString("Die Seiten von %s konnten nicht zwischengespeichert werden: nur %d Seiten wurden gelesen.",
                           name.GetString(), skipped.pagesSplit);
}

// The picture reader's reasons, as the user reads them.
CString Grund(const std::string& reason) {
  static const std::pair<const char*, const char*> known[] = {
      {"the file is empty", "die Datei ist leer"},
      {"it is not a regular file", "keine gewöhnliche Datei"},
      {"the file is too large", "die Datei ist zu groß"},
      {"not a picture file", "keine Grafikdatei, die gelesen werden kann (BMP, PNG, JPEG, GIF oder TIFF)"},
      {"the picture claims", "die Grafik gibt mehr Bildpunkte an, als die Datei enthalten oder das Programm lesen kann"},
      {"damaged", "die Datei ist beschädigt oder unvollständig"},
      {"truncated", "die Datei ist beschädigt oder unvollständig"},
      {"No such file", "die Datei gibt es nicht"},
      {"Permission denied", "keine Berechtigung zum Lesen"},
  };
  for (const auto& [english, german] : known)
    if (reason.find(english) != std::string::npos) return german;
  return CString(reason.c_str());
}

// Pages left out of a drop are never dropped in silence.
void TellSkippedPages(const std::vector<SkippedPages>& skipped) {
  if (skipped.empty()) return;
  CString text;
  for (const SkippedPages& entry : skipped) text += (text.IsEmpty() ? "" : "\n") + Describe(entry);
  AfxMessageBox(text, MB_OK | MB_ICONWARNING);
}

} // namespace

CSubDlgDecode_Datei::CSubDlgDecode_Datei(CSubDlgDecode& owner) : CSubDlgDecodeBaseSubDlg("IDD_SUBDLG_DECODE_DATEI", owner) {}

CSubDlgDecode_Datei::~CSubDlgDecode_Datei() = default;

BOOL CSubDlgDecode_Datei::OnInitDialog() {
  m_btnVorschau.Create(this);
  wxXmlResource::Get()->AttachUnknownControl(wxString::Format("%d", kPreview), &m_btnVorschau, this);
  Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnBnClickedOpen(); }, kOpen);
  SetDropTarget(new FileDropTarget(*this));
  return CSubDlgDecodeBaseSubDlg::OnInitDialog();
}

LRESULT CSubDlgDecode_Datei::OnDragDropTree(WPARAM, LPARAM lParam) {
  auto* record = reinterpret_cast<CDragDropTreeRecord*>(lParam);
  record->m_nResult = 0;
  if (!record->m_pFiles && record->m_nDragState == 0) return 0;
  record->m_nResult = 1;
  if (record->m_nDragState != 0 || !record->m_pFiles) return 0;
  DecodeFiles(*record->m_pFiles);
  return 0;
}

void CSubDlgDecode_Datei::DecodeFiles(const CStringArray& paths) {
  if (paths.IsEmpty()) return; // only folders were dropped
  wxBusyCursor wait; // until the result dialog or message has been closed
  CDecodeResultArray dropResults(1);
  CDecodeDateiArray files; // its temporary bitmaps go with it, whatever happens below
  m_btnVorschau.m_arGrafiken.Clear(0);
  // A scan's next page is split while the first ones are decoded, side by side.
  files.StartAddingDateien(paths);
  CDecodeAhead decoded(*m_pOwner, files);
  bool found = false, anyRead = false;
  CString file, unreadable;
  void* handle = nullptr;
  std::string reason;
  for (int i = 0; decoded.Take(i, file, handle, &reason); ++i) {
    anyRead |= reason.empty();
    if (!reason.empty())
      unreadable += (unreadable.IsEmpty() ? "" : "\n") + ("„" + FileNameOf(file) + "“ kann nicht gelesen werden: ") + Grund(reason) + ".";
    CDecodeResultArray fileResults(1);
    if (handle) {
      fileResults.AddDecodeResult(*m_pOwner, handle);
      m_pOwner->FreeDecodeResult(handle);
      found = true;
    }
    m_btnVorschau.LoadVorschauDatei(file, fileResults);
    // The drop's list takes the results over.
    for (CSubDlgDecodeResult* result : fileResults) dropResults.Add(result);
    fileResults.m_bOwnsItems = 0;
  }
  m_btnVorschau.Refresh();
  TellSkippedPages(files.GetSkippedPages());
  if (!unreadable.IsEmpty()) AfxMessageBox(unreadable, MB_OK | MB_ICONWARNING);
  if (found) {
    CDTemplateArray<CDecodeGrafikResult> noImages(1);
    m_pOwner->OnQRCodeDecoded(dropResults, noImages);
  } else if (anyRead || m_pOwner->m_fnOnNotFound) {
    m_pOwner->OnQRCodeNotFound(); // when no file could be read at all, the reasons said it all
  }
}

void CSubDlgDecode_Datei::OnBnClickedOpen() {
  FileDialogRequest request;
  request.multiple = true;
  request.title = "Grafikdateien öffnen";
  request.filter = "Grafikdateien (*.bmp;*.png;*.jpg;*.jpeg;*.gif;*.tif;*.tiff)|"
                   "*.bmp;*.BMP;*.png;*.PNG;*.jpg;*.JPG;*.jpeg;*.JPEG;*.gif;*.GIF;*.tif;*.TIF;*.tiff;*.TIFF|"
                   "Alle Dateien (*)|*||";
  if (const auto chosen = AskForFiles(this, request); chosen && !chosen->IsEmpty()) DecodeFiles(*chosen);
}
