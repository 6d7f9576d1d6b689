// Host programs: a read whose texts go to the host's own actions. The host must run a wxWidgets
// application (wxApp, display open) before it calls any of this; OnQRCodeEinlesen without one
// writes one line to standard error and returns.
#pragma once

#include "CodewerkExport.h"
#include "decode/SubDlgDecode.h"
#include "outside/HostActions.h"
#include "outside/ShowPageAsDialog.h"

#include <functional>

// The configured decode page as a modal dialog "QR Code"; every read that finds codes offers each
// text, with all the read's bitmaps, to actions until one takes it, which ends the dialog. A read
// no action takes shows the page's "Ergebnis" dialog, and the user may read again.
CODEWERK_EXPORT void OnQRCodeEinlesen(CQRCodeActionBaseArray& actions);

// Appends the bitmap (HGLOBAL) of each picture that holds one; the pictures keep owning them.
CODEWERK_EXPORT void GetDibHandleArray(const CDTemplateArray<CDecodeGrafikResult>* images, CArray<void*, void*>& dibs);

// The decoded texts of one read, in order, to the actions; true once one took a text.
bool BehandleDecodeResults(const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>* images,
                           CQRCodeActionBaseArray* actions);

// Runs a decode page with the host's actions in place of its handlers, which it gives back when
// it goes. An empty onNotFound leaves the page's own not-found handler alone.
class CODEWERK_EXPORT CQRCodeEinlesen {
public:
  CQRCodeEinlesen(CSubDlgDecode& decoder, CQRCodeActionBaseArray& actions,
                  std::function<bool(const CDTemplateArray<CDecodeGrafikResult>*)> onNotFound);
  virtual ~CQRCodeEinlesen();
  CQRCodeEinlesen(const CQRCodeEinlesen&) = delete;
  CQRCodeEinlesen& operator=(const CQRCodeEinlesen&) = delete;

  void DoQRCodeEinlesen();

  std::function<bool(const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*)> m_fnSavedOnDecoded;
  std::function<bool(const CDTemplateArray<CDecodeGrafikResult>*)> m_fnSavedOnNotFound;
  CQRCodeActionBaseArray* m_pActions;
  CSubDlgDecode* m_pDecoder;

private:
  bool m_bReplacedNotFound = false;
};

// The read-in's dialog: it closes only when the decode page agrees.
class CODEWERK_EXPORT CQRCodeEinlesenDialog : public CShowPageAsDialog {
public:
  using CShowPageAsDialog::CShowPageAsDialog;
  ~CQRCodeEinlesenDialog() override;
  void EndModalLoop(int result) override;

  CSubDlgDecode* m_pDecoder = nullptr;
};
