// The family's scanning services: document scanners through SANE. Discovery and every page run
// on a worker thread behind a progress box with "Abbrechen"; pages arrive as bitmap files in the
// private temporary folder, which belong to the caller.
#pragma once

#include "CArray.h"
#include "CString.h"
#include "WinTypes.h"

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/weakref.h>

#include <memory>
#include <vector>

class wxChoice;
class wxCommandEvent;
class wxContextMenuEvent;
class wxListBox;
class wxMenu;
class wxSpinCtrl;
class wxWindow;

// Which scanner page a program uses: the local program setting "QRCode"/"UseOldScanProgram".
bool UseOldScanProgram();

// Scans every page the chosen device and source give (one from the flatbed, the feeder until it
// is empty) at dpi (0: the device's own) and lists the page files. False when nothing was scanned:
// cancelled, or a fault the service has already told the user about. Pages before a fault count.
bool CallQRCodeScanBatch(const char* program, CStringArray& files, int dpi = 0, wxWindow* parent = nullptr);

// The progress box's window name, for whoever needs to find it (a test, a screen reader script).
extern const char* const kScanProgressName;

// A new bitmap of a picture file, null when it cannot be read.
HGLOBAL GetHDibFromFile(const char* fileName);

// Where the paper lies.
enum class ScanVorlage { Flachbett = 0, Einzug = 1, EinzugBeidseitig = 2 };
const char* ScanVorlageText(ScanVorlage vorlage);

// A scanner as SANE names it, and the sources it offers.
struct ScannerInfo {
  CString name;  // SANE's device name, e.g. "pnm:0"
  CString label; // maker and model, for people
  bool flatbed = true;
  bool feeder = false;
  bool duplex = false;
};

// The device and source a program scans with, remembered in the scanning service's own local
// program settings (section "Scannen <program>"), with any extra SANE options ("name=value;…").
struct ScanAuswahl {
  CString device;
  ScanVorlage vorlage = ScanVorlage::Flachbett;
  CString options;

  static ScanAuswahl Lade(const char* program);
  void Sichere(const char* program) const;
};

// The scanners found the last time anyone looked in this process; looks (behind the progress box)
// when nobody has yet or when asked to.
std::vector<ScannerInfo> GetScanners(wxWindow* parent, bool searchAgain = false);
// The scanners found so far, without looking.
std::vector<ScannerInfo> KnownScanners();
// Every device with each source it offers, in menu order; options are carried into each.
std::vector<ScanAuswahl> AuswahlListe(const std::vector<ScannerInfo>& scanners, const CString& options);
// "<maker and model> – <source>" for a choice.
CString DescribeAuswahl(const ScanAuswahl& auswahl, const std::vector<ScannerInfo>& scanners);

// The scan button: a push button that scans with the remembered choice, its label naming it, and a
// drop-down button beside it offering every device with each of its sources.
class CScanAuswahlButton {
public:
  explicit CScanAuswahlButton(CString program);
  virtual ~CScanAuswahlButton();

  // Takes over the push button and the drop-down button of a page (either may be null).
  void Attach(wxButton* scan, wxButton* dropDown);
  void Detach();
  bool HasWindow() const { return m_pScan.get() != nullptr; }
  // Shows the current choice on the button.
  void SetButton();
  // The menu of choices at the drop-down button; a choice is remembered at once.
  void ShowAuswahlMenu();
  // The choice as a number: the index into GetAuswahlListe(), -1 for the remembered one.
  int GetAuswahl() const { return m_nAuswahl; }
  // Chooses an entry of the list (and remembers it), as the menu does.
  void SetAuswahl(int index);
  const std::vector<ScanAuswahl>& GetAuswahlListe() const { return m_arAuswahl; }
  const CString& GetProgram() const { return m_strProgram; }

protected:
  // Extra entries a subclass puts below the choices (ids from 100).
  virtual void AddMenuEntries(wxMenu&) {}
  virtual void OnMenuEntry(int) {}

private:
  void FillAuswahl(const std::vector<ScannerInfo>& scanners);
  void OnDropDown(wxCommandEvent& event);
  void OnContextMenu(wxContextMenuEvent& event);

  CString m_strProgram;
  wxWeakRef<wxButton> m_pScan;     // the page's windows: they may go first
  wxWeakRef<wxButton> m_pDropDown;
  std::vector<ScanAuswahl> m_arAuswahl;
  int m_nAuswahl = -1;
};

// The import: a dialog that scans (device, source, resolution, "Scannen"), keeps the pages as
// files and lists them. A program may keep it hidden and drive it through its scan button.
class CTwainImport : public wxDialog {
public:
  CTwainImport(const char* program, int flags, wxWindow* parent);
  ~CTwainImport() override;

  // Makes the (hidden) window, a child of parent.
  BOOL CreateImport(wxWindow* parent);
  // Scans with the scan button's choice (-1: the remembered one); OnScanBeendet follows.
  void OnPressedScannenButton(int auswahl);
  // Stores the import's settings (device and source).
  void Sichern();
  // Hands the pages scanned so far over as files (the first under GetScanDateiName() when that is
  // set); false when there are none. The caller deletes them.
  BOOL SaveFilesOnOK();
  CStringArray& GetGespeicherteDateien() { return m_arGespeichert; }
  // Forgets the pages shown in the import's list (their files are the caller's by now).
  void ClearAll();

  virtual int GetScanDPI() { return 0; }
  virtual void NegotiateCapabilities(ScanAuswahl&) {}
  virtual CString GetScanDateiName() { return CString(); }
  virtual void OnScanBeendet() {}

  CString m_strFormat1 = "BMP";
  CString m_strFormat2 = "BMP";
  CString m_strProgram;

  // Shows the import as a dialog of its own (device, source, resolution, "Scannen"); hidden again after.
  void ShowImport();
  // Scans with a choice at a resolution; the pages join the list, then OnScanBeendet.
  void Scan(ScanAuswahl auswahl, int dpi);

private:
  void BuildControls();
  void FillGeraete();
  void FillVorlagen();
  ScanAuswahl GetDialogAuswahl() const;
  void RemovePageFiles();

  std::vector<ScannerInfo> m_arScanners;
  std::vector<ScanAuswahl> m_arDialogAuswahl; // the device and source entries of the dialog
  ScanAuswahl m_letzteAuswahl;  // what was scanned with last, for Sichern
  bool m_bGescannt = false;
  CStringArray m_arSeiten;      // scanned, not yet handed over
  CStringArray m_arGespeichert; // handed over by SaveFilesOnOK
  wxChoice* m_pGeraet = nullptr;
  wxChoice* m_pVorlage = nullptr;
  wxSpinCtrl* m_pDpi = nullptr;
  wxListBox* m_pSeiten = nullptr;
};

// The import's scan button: its choice is the import's device and source.
class CTwainImportScannenButton : public CScanAuswahlButton {
public:
  explicit CTwainImportScannenButton(CTwainImport& import);
  void InitScanButton();

protected:
  void AddMenuEntries(wxMenu& menu) override;
  void OnMenuEntry(int id) override;

private:
  CTwainImport& m_import;
};
