#include "ScanProgress.h"

#include "outside/Scanning.h"
#include "outside/WxText.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/timer.h>
#include <wx/utils.h>

#include <chrono>

const char* const kScanProgressName = "ScanFortschritt";

namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(300);

class ScanProgressBox : public wxDialog {
public:
  ScanProgressBox(wxWindow* parent, ScanJob& job)
      : wxDialog(parent, wxID_ANY, ToWx("Scannen"), wxDefaultPosition, wxDefaultSize, wxCAPTION), m_job(job) {
    SetName(kScanProgressName);
    m_text = new wxStaticText(this, wxID_ANY, ToWx("Suche Scanner …"));
    m_gauge = new wxGauge(this, wxID_ANY, 100, wxDefaultPosition, wxSize(FromDIP(280), -1));
    m_cancel = new wxButton(this, wxID_CANCEL, ToWx("Abbrechen"));
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(m_text, 0, wxALL, FromDIP(12));
    sizer->Add(m_gauge, 0, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(12));
    sizer->Add(m_cancel, 0, wxALIGN_RIGHT | wxALL, FromDIP(12));
    SetSizerAndFit(sizer);
    CentreOnParent();
    m_cancel->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Cancel(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
      if (event.CanVeto()) event.Veto();
      Cancel();
    });
  }

  void UpdateText() {
    if (m_job.Cancelling()) return;
    const int page = m_job.GetPage();
    const wxString text = m_job.GetPhase() == ScanJob::Phase::Suche || page == 0
                              ? ToWx("Suche Scanner …")
                              : wxString::Format(ToWx("Seite %d wird gescannt …"), page);
    if (m_text->GetLabel() != text) m_text->SetLabel(text);
    const int percent = m_job.GetPercent();
    if (percent < 0) m_gauge->Pulse();
    else m_gauge->SetValue(percent);
  }

private:
  void Cancel() {
    m_job.Cancel();
    m_text->SetLabel(ToWx("Wird abgebrochen …"));
    m_cancel->Disable();
  }

  ScanJob& m_job;
  wxStaticText* m_text;
  wxGauge* m_gauge;
  wxButton* m_cancel;
};

} // namespace

ScanJob::Outcome RunScanJob(wxWindow* parent, ScanJob& job) {
  ScanProgressBox box(parent, job);
  wxWindowDisabler others(&box);
  const auto started = std::chrono::steady_clock::now();
  job.Start();
  wxGUIEventLoop loop;
  wxTimer timer;
  timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
    const auto now = std::chrono::steady_clock::now();
    if (job.Done()) {
      loop.Exit();
      return;
    }
    if (!box.IsShown() && now - started >= kShowAfter) box.Show();
    if (box.IsShown()) box.UpdateText();
  });
  timer.Start(20);
  if (!job.Done()) loop.Run();
  timer.Stop();
  box.Hide();
  return job.TakeOutcome();
}
