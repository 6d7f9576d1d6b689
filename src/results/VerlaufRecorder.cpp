#include "results/VerlaufRecorder.h"

#include "config/QRCodeKonfiguration.h"
#include "outside/MessageBox.h"
#include "sources/DecodeGrafikResult.h"

#include <atomic>
#include <memory>
#include <mutex>

namespace {

std::atomic<bool> g_forHosts{false};

VerlaufEintrag EntryOf(const CString& source, const CSubDlgDecodeResult& result, const CString& file, int page) {
  return {0, 0, source.str(), file.str(), page, result.m_strSymbol.str(), result.m_strText.str()};
}

} // namespace

void SetQRCodeVerlaufAktiv(bool on) { g_forHosts = on; }

bool IsQRCodeVerlaufAktivForHosts() { return g_forHosts; }

CVerlauf& ProcessVerlauf() {
  static std::unique_ptr<CVerlauf> verlauf;
  static std::once_flag once;
  static std::atomic<bool> told{false};
  std::call_once(once, [] { verlauf = std::make_unique<CVerlauf>(); });
  // Told once, after the history is there: a read arriving while the message is up finds it.
  if (!verlauf->Notice().empty() && !told.exchange(true)) AfxMessageBox(verlauf->Notice().c_str(), MB_OK | MB_ICONWARNING);
  return *verlauf;
}

void RecordReads(const CString& source, const CDecodeResultArray& results,
                 const CDTemplateArray<CDecodeGrafikResult>& images, bool hostReadIn) {
  const CQRCodeKonfiguration& settings = GetQRCodeKonfiguration();
  if (!settings.m_bVerlaufAktiv || (hostReadIn && !g_forHosts)) return;
  CVerlauf& verlauf = ProcessVerlauf();
  const long atMost = settings.m_nVerlaufMax > 0 ? settings.m_nVerlaufMax : 1000;
  bool fromImages = false;
  for (int i = 0; i < images.GetSize(); ++i)
    for (const CSubDlgDecodeResult* result : images[i]->m_arResults) {
      verlauf.Add(EntryOf(source, *result, images[i]->m_strDatei, images.GetSize() > 1 ? i + 1 : 0), atMost);
      fromImages = true;
    }
  if (fromImages) return;
  for (const CSubDlgDecodeResult* result : results) verlauf.Add(EntryOf(source, *result, CString(), 0), atMost);
}
