// A control for host programs that shows the code of its own text.
#pragma once

#include "CodewerkExport.h"
#include "outside/WinTypes.h"

#include <wx/brush.h>
#include <wx/control.h>
#include <wx/dc.h>
#include <wx/pen.h>

// Scoped drawing objects: selected into a device context, the previous one comes back at the end.
template <class Object>
class CAutoGDIObject {
public:
  explicit CAutoGDIObject(const Object& object) : m_object(object) {}
  ~CAutoGDIObject() {
    if (m_pDC) Restore(*m_pDC);
  }
  CAutoGDIObject(const CAutoGDIObject&) = delete;
  CAutoGDIObject& operator=(const CAutoGDIObject&) = delete;

  void SelectInto(wxDC& dc) {
    if constexpr (std::is_same_v<Object, wxPen>) m_previous = dc.GetPen(), dc.SetPen(m_object);
    else m_previous = dc.GetBrush(), dc.SetBrush(m_object);
    m_pDC = &dc;
  }

private:
  void Restore(wxDC& dc) {
    if constexpr (std::is_same_v<Object, wxPen>) dc.SetPen(m_previous);
    else dc.SetBrush(m_previous);
  }

  Object m_object;
  Object m_previous;
  wxDC* m_pDC = nullptr;
};

class CAutoPen : public CAutoGDIObject<wxPen> {
  using CAutoGDIObject::CAutoGDIObject;
};
class CAutoBrush : public CAutoGDIObject<wxBrush> {
  using CAutoGDIObject::CAutoGDIObject;
};

class CODEWERK_EXPORT CQRCodeStatic : public wxControl {
public:
  CQRCodeStatic() = default;
  CQRCodeStatic(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize);
  bool Create(wxWindow* parent, wxWindowID id, const wxString& text, const wxPoint& pos = wxDefaultPosition,
              const wxSize& size = wxDefaultSize);

  // Draws the code of the control's text into rect on any device context (a printer's too): the
  // code crisp and centred on white, or a red hatched frame when the text gives no code.
  void OnDraw(wxDC& dc, const CRect& rect);

private:
  void DrawNoCode(wxDC& dc, const CRect& rect);
};
