#include "sources/DecodeGrafikVorschauButton.h"

#include "outside/DibServices.h"
#include "outside/PopupMenu.h"
#include "outside/TempFiles.h"
#include "outside/WxText.h"
#include "results/DecodeResultTasksDialog.h"
#include "sources/DecodeGrafikViewerDialog.h"

#include <wx/dcbuffer.h>
#include <wx/menu.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

namespace {

constexpr int kMenuErgebnis = 1000;
constexpr int kMenuGrafik = 1001;

// Rows and columns for n pictures: a square when n is one, otherwise as many columns as needed
// beside the rows the square root gives.
std::pair<int, int> Grid(int n) {
  const int rows = static_cast<int>(std::floor(std::sqrt(static_cast<double>(n))));
  int columns = rows;
  while (rows * columns < n) ++columns;
  return {rows, columns};
}

bool HasBitmap(const CDecodeGrafikResult& entry) {
  auto* dib = dynamic_cast<CDIBGrafik*>(entry.m_pGrafik);
  return dib && dib->GetDib();
}

} // namespace

CDecodeGrafikVorschauButton::CDecodeGrafikVorschauButton() = default;
CDecodeGrafikVorschauButton::~CDecodeGrafikVorschauButton() = default;

bool CDecodeGrafikVorschauButton::Create(wxWindow* parent) {
  if (!wxWindow::Create(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxFULL_REPAINT_ON_RESIZE | wxBORDER_THEME))
    return false;
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    DrawItem(dc, CRect(0, 0, size.x, size.y));
  });
  Bind(wxEVT_RIGHT_DOWN, &CDecodeGrafikVorschauButton::OnRightDown, this);
  Bind(wxEVT_RIGHT_UP, &CDecodeGrafikVorschauButton::OnRightUp, this);
  Bind(wxEVT_LEFT_UP, &CDecodeGrafikVorschauButton::OnLeftUp, this);
  Bind(wxEVT_KEY_DOWN, &CDecodeGrafikVorschauButton::OnKeyDown, this);
  Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& e) { Refresh(), e.Skip(); });
  Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& e) { Refresh(), e.Skip(); });
  return true;
}

void CDecodeGrafikVorschauButton::AddGrafik(CGrafik* graphic, const CDecodeResultArray& results) {
  m_arGrafiken.Add(new CDecodeGrafikResult(graphic, results));
}

void CDecodeGrafikVorschauButton::LoadVorschauDatei(const CString& fileName, const CDecodeResultArray& results) {
  std::unique_ptr<CGrafik> loaded(GetGrafikFormatArray().GetGrafikObject(fileName));
  if (!loaded || !loaded->Lade(nullptr, fileName)) return;
  const CSize original = loaded->GetSize();
  const CRect proportions = loaded->GetKorrektRect(CRect(0, 0, original.cx, original.cy));
  CSize size(proportions.Width(), proportions.Height());
  CMemoryDC memory;
  auto graphic = std::make_unique<CDIBGrafik>();
  CDecodeResultArray copy(results);
  if (CMemoryDC::IsSafeSize(size)) {
    graphic->SetDib(static_cast<CDIBGrafik&>(*loaded).DetachDib()); // the loaded bitmap, taken over as it is
  } else {
    if (!memory.SetSafeSizeOrSmaller(size)) return;
    loaded->ZeichneKorrekt(*memory.GetDC(), CRect(0, 0, size.cx, size.cy), nullptr);
    graphic->SetDib(memory.DDBtoDIB());
    // The results' corners belong to the full picture; the preview keeps a smaller one.
    copy.ForEach([&](CSubDlgDecodeResult* result) {
      for (POINT& p : result->m_arPoints)
        p = {static_cast<LONG>(static_cast<long long>(p.x) * size.cx / original.cx),
             static_cast<LONG>(static_cast<long long>(p.y) * size.cy / original.cy)};
    });
  }
  if (!graphic->GetDib()) return;
  AddGrafik(graphic.release(), copy);
  char temporary[MAX_PATH];
  const bool ours = GetTempPathA(MAX_PATH, temporary) && std::strncmp(fileName.GetString(), temporary, std::strlen(temporary)) == 0;
  if (!ours) m_arGrafiken[m_arGrafiken.GetSize() - 1]->m_strDatei = fileName;
}

bool CDecodeGrafikVorschauButton::GetAnzeigeText(CString&) { return false; }

void CDecodeGrafikVorschauButton::DrawErgebnisRahmen(wxDC& dc, const CRect& r) {
  dc.SetPen(*wxBLACK_PEN);
  const wxPoint frame[] = {{r.left, r.top}, {r.right, r.top}, {r.right, r.bottom - 2}, {r.left, r.bottom - 2}, {r.left, r.top}};
  dc.DrawLines(5, frame);
}

void CDecodeGrafikVorschauButton::DrawItem(wxDC& dc, const CRect& rect) {
  dc.SetPen(*wxTRANSPARENT_PEN);
  dc.SetBrush(*wxWHITE_BRUSH);
  dc.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
  dc.SetTextForeground(*wxBLACK);
  CString text;
  if (GetAnzeigeText(text)) {
    dc.DrawLabel(ToWx(text), wxRect(rect.left, rect.top, rect.Width(), rect.Height()), wxALIGN_CENTER);
    return;
  }
  const int n = m_arGrafiken.GetSize();
  if (n == 0) return;
  const auto [rows, columns] = Grid(n);
  const int columnWidth = rect.Width() / columns, rowHeight = rect.Height() / rows;
  for (int i = 0; i < n; ++i) {
    CDecodeGrafikResult& entry = *m_arGrafiken[i];
    const int c = i % columns, r = i / columns;
    const int left = rect.left + 1 + c * columnWidth, right = left + columnWidth - 2;
    const int top = rect.top + 1 + r * rowHeight, bottom = top + rowHeight - 2;
    const CSize size = entry.m_pGrafik ? entry.m_pGrafik->GetSize() : CSize();
    const wxString caption = wxString::Format("%d x %d", size.cx, size.cy);
    const int captionHeight = dc.GetTextExtent(caption).y;
    entry.m_rectDrawn = entry.m_pGrafik ? entry.m_pGrafik->GetKorrektRect(CRect(left, top + captionHeight + 1, right, bottom)) : CRect();
    if (entry.m_pGrafik) entry.m_pGrafik->Zeichne(dc, entry.m_rectDrawn, nullptr);
    entry.m_arResults.ForEach([&](CSubDlgDecodeResult* result) { DrawResultOutline(dc, size, entry.m_rectDrawn, *result); });
    dc.DrawLabel(caption, wxRect(entry.m_rectDrawn.left, top, entry.m_rectDrawn.Width(), captionHeight), wxALIGN_CENTER_HORIZONTAL);
  }
  m_arGrafiken.ForEach([&](CDecodeGrafikResult* entry) { DrawErgebnisRahmen(dc, entry->m_rectDrawn); });
  if (HasFocus() && Auswahl()) { // where the keyboard is
    const CRect& r = Auswahl()->m_rectDrawn;
    const wxRect ring = wxRect(r.left - 3, r.top - 3, r.Width() + 6, r.Height() + 6).Intersect(wxRect(rect.left, rect.top, rect.Width(), rect.Height()).Deflate(1));
    dc.SetPen(wxPen(*wxBLUE, 2, wxPENSTYLE_DOT));
    dc.SetBrush(*wxTRANSPARENT_BRUSH);
    dc.DrawRectangle(ring);
  }
}

CDecodeGrafikResult* CDecodeGrafikVorschauButton::EntryAt(POINT point) const {
  for (CDecodeGrafikResult* entry : m_arGrafiken)
    if (entry && entry->m_rectDrawn.PtInRect(point)) return entry;
  return nullptr;
}

CDecodeGrafikResult* CDecodeGrafikVorschauButton::Auswahl() const {
  const int n = m_arGrafiken.GetSize();
  return n ? m_arGrafiken[std::clamp(m_nAuswahl, 0, n - 1)] : nullptr;
}

void CDecodeGrafikVorschauButton::OnLeftUp(wxMouseEvent& event) {
  if (CDecodeGrafikResult* entry = EntryAt({event.GetX(), event.GetY()})) {
    m_nAuswahl = m_arGrafiken.GetIndex(entry);
    ShowGrafik(entry);
    return;
  }
  event.Skip();
}

void CDecodeGrafikVorschauButton::OnKeyDown(wxKeyEvent& event) {
  const int n = m_arGrafiken.GetSize();
  const int columns = n ? Grid(n).second : 1;
  int next = std::clamp(m_nAuswahl, 0, std::max(0, n - 1));
  switch (event.GetKeyCode()) {
    case WXK_LEFT: next -= 1; break;
    case WXK_RIGHT: next += 1; break;
    case WXK_UP: next -= columns; break;
    case WXK_DOWN: next += columns; break;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
    case WXK_SPACE:
      if (CDecodeGrafikResult* entry = Auswahl()) ShowGrafik(entry);
      return;
    case WXK_MENU:
      if (CDecodeGrafikResult* entry = Auswahl()) ShowKontextMenu(entry, entry->m_rectDrawn.left, entry->m_rectDrawn.top);
      return;
    default: event.Skip(); return;
  }
  if (next >= 0 && next < n && next != m_nAuswahl) {
    m_nAuswahl = next;
    Refresh();
  }
}

void CDecodeGrafikVorschauButton::OnRightDown(wxMouseEvent& event) {
  m_bRightClick = true;
  event.Skip();
}

void CDecodeGrafikVorschauButton::OnRightUp(wxMouseEvent& event) {
  if (m_bRightClick) {
    m_bRightClick = false;
    if (CDecodeGrafikResult* entry = EntryAt({event.GetX(), event.GetY()})) {
      ShowKontextMenu(entry, event.GetX(), event.GetY());
      return;
    }
  }
  event.Skip();
}

void CDecodeGrafikVorschauButton::FillKontextMenu(wxMenu& menu, const CDecodeGrafikResult& entry) {
  menu.Append(kMenuErgebnis, "Ergebnis anzeigen");
  menu.Append(kMenuGrafik, "Grafik anzeigen");
  menu.Enable(kMenuErgebnis, !entry.m_arResults.IsEmpty());
  menu.Enable(kMenuGrafik, HasBitmap(entry));
}

void CDecodeGrafikVorschauButton::ShowKontextMenu(CDecodeGrafikResult* entry, int x, int y) {
  wxMenu menu;
  FillKontextMenu(menu, *entry);
  const wxPoint screen = ClientToScreen(wxPoint(x, y));
  const UINT chosen = MFCNextBaseTrackPopupMenu(menu, screen.x, screen.y, this, 0);
  if (chosen == kMenuErgebnis) {
    CDecodeResultTasksDialog dialog(entry->m_arResults, nullptr);
    dialog.DoModal();
  } else if (chosen == kMenuGrafik) {
    ShowGrafik(entry);
  }
}

void CDecodeGrafikVorschauButton::ShowGrafik(CDecodeGrafikResult* entry) {
  if (!entry || !HasBitmap(*entry)) return;
  HGLOBAL copy = CopyDIB(static_cast<CDIBGrafik*>(entry->m_pGrafik)->GetDib());
  if (!copy) return;
  CDecodeGrafikViewerDialog viewer(nullptr);
  viewer.m_arItems.Add(new CDecodeGrafikViewerDialogItem{copy, entry->m_arResults});
  viewer.m_viewerCtrl.AddDib(copy);
  viewer.DoModal();
}
