// The preview of a source page: every picture of the last read in a grid, its size above it, the
// codes found outlined in green; a right click offers the results and a larger view.
#pragma once

#include "CodewerkExport.h"
#include "decode/DTemplateArray.h"
#include "sources/DecodeGrafikResult.h"

#include <wx/window.h>

class wxMenu;

class CODEWERK_EXPORT CDecodeGrafikVorschauButton : public wxWindow {
public:
  CDecodeGrafikVorschauButton();
  ~CDecodeGrafikVorschauButton() override;

  bool Create(wxWindow* parent);
  // Adds a picture (the preview owns it from now) with a copy of its results. Does not repaint.
  void AddGrafik(CGrafik* graphic, const CDecodeResultArray& results);
  // Loads a picture file and adds it; nothing is added when it cannot be loaded.
  void LoadVorschauDatei(const CString& fileName, const CDecodeResultArray& results);
  void DrawItem(wxDC& dc, const CRect& rect);

  // True: the preview shows this text instead of its pictures.
  virtual bool GetAnzeigeText(CString& text);
  // Draws the frame around one picture.
  virtual void DrawErgebnisRahmen(wxDC& dc, const CRect& rect);
  // The context menu of one picture at a point in client coordinates.
  virtual void ShowKontextMenu(CDecodeGrafikResult* entry, int x, int y);
  // The context menu as it would be offered: "Ergebnis anzeigen" (1000), "Grafik anzeigen" (1001).
  static void FillKontextMenu(wxMenu& menu, const CDecodeGrafikResult& entry);

  // A user reaches the pictures with the keyboard too: Tab, the arrow keys to choose one, Enter to
  // see it larger, the menu key for its context menu; a left click shows it larger.
  bool AcceptsFocus() const override { return true; }
  void ShowGrafik(CDecodeGrafikResult* entry);

  CDTemplateArray<CDecodeGrafikResult> m_arGrafiken{1};
  int m_nAuswahl = 0; // the picture the keyboard acts on

private:
  void OnRightDown(wxMouseEvent& event);
  void OnRightUp(wxMouseEvent& event);
  void OnLeftUp(wxMouseEvent& event);
  void OnKeyDown(wxKeyEvent& event);
  CDecodeGrafikResult* EntryAt(POINT point) const;
  CDecodeGrafikResult* Auswahl() const;

  bool m_bRightClick = false;
};
