#include "results/QRCodeEinlesen.h"

#include "outside/Grafik.h"

#include <wx/app.h>

#include <cstdio>
#include <memory>

void GetDibHandleArray(const CDTemplateArray<CDecodeGrafikResult>* images, CArray<void*, void*>& dibs) {
  if (!images) return;
  for (const CDecodeGrafikResult* image : *images) {
    const auto* dib = image ? dynamic_cast<const CDIBGrafik*>(image->m_pGrafik) : nullptr;
    if (dib && dib->GetDib()) dibs.Add(dib->GetDib());
  }
}

bool BehandleDecodeResults(const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>* images,
                           CQRCodeActionBaseArray* actions) {
  if (!results || !actions) return false;
  CArray<void*, void*> bitmaps;
  GetDibHandleArray(images, bitmaps);
  for (const CSubDlgDecodeResult* result : *results)
    if (result && actions->BehandleGelesenenQRCode(result->m_strText, bitmaps)) return true;
  return false;
}

CQRCodeEinlesen::CQRCodeEinlesen(CSubDlgDecode& decoder, CQRCodeActionBaseArray& actions,
                                 std::function<bool(const CDTemplateArray<CDecodeGrafikResult>*)> onNotFound)
    : m_pActions(&actions), m_pDecoder(&decoder) {
  std::function<bool(const CDecodeResultArray*, const CDTemplateArray<CDecodeGrafikResult>*)> handler =
      [actions = &actions](const CDecodeResultArray* results, const CDTemplateArray<CDecodeGrafikResult>* images) {
        return BehandleDecodeResults(results, images, actions);
      };
  decoder.m_bHostReadIn = true;
  std::swap(m_fnSavedOnDecoded, decoder.m_fnOnDecoded);
  std::swap(decoder.m_fnOnDecoded, handler);
  if (onNotFound) {
    std::swap(m_fnSavedOnNotFound, decoder.m_fnOnNotFound);
    std::swap(decoder.m_fnOnNotFound, onNotFound);
    m_bReplacedNotFound = true;
  }
}

CQRCodeEinlesen::~CQRCodeEinlesen() {
  m_pDecoder->m_bHostReadIn = false;
  std::swap(m_pDecoder->m_fnOnDecoded, m_fnSavedOnDecoded);
  if (m_bReplacedNotFound) std::swap(m_pDecoder->m_fnOnNotFound, m_fnSavedOnNotFound);
}

void CQRCodeEinlesen::DoQRCodeEinlesen() {
  CQRCodeEinlesenDialog dialog(10, *m_pDecoder, "QR Code", m_pDecoder->m_lpszTemplate, nullptr);
  dialog.m_pDecoder = m_pDecoder;
  dialog.DoModal();
}

CQRCodeEinlesenDialog::~CQRCodeEinlesenDialog() = default;

void CQRCodeEinlesenDialog::EndModalLoop(int result) {
  if (!m_pDecoder || m_pDecoder->PrepareForCloseDialog()) CShowPageAsDialog::EndModalLoop(result);
}

void OnQRCodeEinlesen(CQRCodeActionBaseArray& actions) {
  if (!wxTheApp || !wxTheApp->IsGUI()) {
    std::fputs("OnQRCodeEinlesen: no wxWidgets application runs; the host must start one first.\n", stderr);
    return;
  }
  std::unique_ptr<CSubDlgDecode> page(CreateCurrentDecoder());
  if (!page) return;
  {
    CQRCodeEinlesen einlesen(*page, actions, nullptr);
    einlesen.DoQRCodeEinlesen();
  }
}
