// The graphics library's image viewer: a resizable dialog that shows bitmaps fitted to the window
// or zoomed (wheel, +/-, 0), and lets its owner draw over each page after it was drawn.
#pragma once

#include "CArray.h"
#include "WinTypes.h"

#include <wx/dialog.h>
#include <wx/image.h>
#include <wx/scrolwin.h>

#include <functional>
#include <vector>

class CImageViewerWnd : public wxScrolledCanvas {
public:
  using PostDrawAction = std::function<void(wxDC& dc, HGLOBAL dib, const CRect& drawn)>;

  bool Create(wxWindow* parent);
  // Shows a page (the viewer control keeps owning it).
  void SetPage(HGLOBAL dib);
  void AddPostDrawAction(PostDrawAction action);

  void ZoomToFit();
  // Multiplies the zoom, keeping the picture point under around (client coordinates) in place.
  void ZoomBy(double factor, wxPoint around);
  double GetZoom() const { return m_zoom; }
  bool IsFitting() const { return m_fit; }
  // Where the whole page lies in client coordinates (partly outside when zoomed in).
  CRect GetDrawnRect() const;

private:
  void OnPaint(wxPaintEvent& event);
  void OnSize(wxSizeEvent& event);
  void OnWheel(wxMouseEvent& event);
  void OnKey(wxKeyEvent& event);
  void UpdateVirtualSize();
  double FitZoom() const;

  HGLOBAL m_hDib = nullptr;
  wxImage m_image;
  double m_zoom = 1.0;
  bool m_fit = true;
  std::vector<PostDrawAction> m_postDraw;
};

// The pages the viewer shows; it owns them.
class CBaseImageViewerCtrl {
public:
  ~CBaseImageViewerCtrl() { ClearAll(); }
  void AddDib(HGLOBAL dib);
  void ClearAll();
  int GetPageCount() const { return m_arPages.GetSize(); }
  HGLOBAL GetPage(int index) const { return m_arPages.GetAt(index); }

private:
  CArray<HGLOBAL> m_arPages;
};

class CTQScanViewerDialog : public wxDialog {
public:
  explicit CTQScanViewerDialog(wxWindow* parent);
  ~CTQScanViewerDialog() override;

  // Makes the window with its image viewer; the viewer exists from then on.
  virtual BOOL OnInitDialog();
  INT_PTR DoModal();
  CImageViewerWnd* GetImageViewerWnd() { return m_pViewer; }
  void ShowPage(int index);

  CBaseImageViewerCtrl m_viewerCtrl;

private:
  wxWindow* m_pParent;
  CImageViewerWnd* m_pViewer = nullptr;
  int m_nPage = 0;
};
