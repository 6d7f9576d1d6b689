// One keystroke on the Erstellen page with a 2000-character text: encoding anew and painting the
// code, against the raw zint back end encoding the same text.
#include "BenchTexts.h"
#include "RatioReporter.h"

#include "encode/SubDlgEncode.h"
#include "shell/QRCodeDlg.h"

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/init.h>
#include <wx/textctrl.h>
#include <zint.h>

#include <string>

namespace {

const std::string kText = TextOfLength(2000);

void Ours(benchmark::State& state) {
  CQRCodeDlg dialog;
  dialog.CreateFromTemplate();
  dialog.OnInitDialog();
  dialog.Show();
  auto* page = dynamic_cast<CSubDlgEncodeBase*>(dialog.GetTabCtrl().m_arSubDlg[0]);
  auto* edit = wxDynamicCast(page->GetDlgItem(1001), wxTextCtrl);
  const wxSize size = page->m_btnCode.GetClientSize();
  wxBitmap canvas(size.x, size.y, 24);
  wxMemoryDC dc(canvas);
  int i = 0;
  for (auto _ : state) {
    std::string text = kText;
    text.back() = static_cast<char>('a' + i++ % 26); // the keystroke
    edit->ChangeValue(wxString::FromUTF8(text));
    page->OnEnChange();
    page->m_btnCode.DrawItem(dc, CRect(0, 0, size.x, size.y));
  }
  dc.SelectObject(wxNullBitmap);
}

void Raw(benchmark::State& state) {
  int i = 0;
  for (auto _ : state) {
    std::string text = kText;
    text.back() = static_cast<char>('a' + i++ % 26);
    zint_symbol* symbol = ZBarcode_Create();
    symbol->symbology = BARCODE_QRCODE;
    symbol->input_mode = UNICODE_MODE;
    symbol->option_1 = 1;
    ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(text.c_str()), 0);
    benchmark::DoNotOptimize(symbol->width);
    ZBarcode_Delete(symbol);
  }
}

} // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  wxApp::SetInstance(new wxApp);
  if (!wxEntryStart(argc, argv)) return 2;
  benchmark::RegisterBenchmark("keystroke on a 2000-character text: ours", Ours)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("keystroke on a 2000-character text: raw", Raw)->Unit(benchmark::kMillisecond);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  wxEntryCleanup();
  return 0;
}
