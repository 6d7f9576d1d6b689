// The user's settings: which back ends create and read codes, the wished webcam resolution, the
// scan resolution and whether only QR codes are looked for. Kept in "QRCode.ini".
#pragma once

#include "CodewerkExport.h"
#include "outside/SettingsFile.h"
#include "outside/WinTypes.h"

enum T_QRCodeKonfiguration_Encoder : int {
  Encoder_QREncode = 0,
  Encoder_ZInt = 1,
};

enum T_QRCodeKonfiguration_Decoder : int {
  Decoder_ZBar = 0,
  Decoder_ZXing = 1,
  Decoder_ZXingZBar = 2, // ZXing, then ZBar where ZXing found nothing
};

class CODEWERK_EXPORT CQRCodeKonfiguration : public CSaveAsIniFileObject {
public:
  CQRCodeKonfiguration();
  // Copies go through a scratch profile: exactly the persisted settings travel, not the file name.
  CQRCodeKonfiguration(CQRCodeKonfiguration& other);
  CQRCodeKonfiguration& operator=(CQRCodeKonfiguration& other);
  ~CQRCodeKonfiguration() override = default;

  int Lade(PROFILEHANDLE* profile) override;
  int Sichere(PROFILEHANDLE* profile) override;

  T_QRCodeKonfiguration_Encoder m_eEncoder = Encoder_ZInt;
  T_QRCodeKonfiguration_Decoder m_eDecoder = Decoder_ZXing;
  CSize m_sizeWebCam;
  LONG m_nScanDpi = 0;
  int m_bNurQRCodes = 1;
  int m_bVerlaufAktiv = 1; // "H"/"Aktiv": reads in the windows are kept in the history
  LONG m_nVerlaufMax = 1000; // "H"/"Max": the most entries kept; the oldest go first

private:
  void CopyFrom(CQRCodeKonfiguration& other);
};

// The process-wide settings, loaded from the file on first use and never reloaded.
CODEWERK_EXPORT CQRCodeKonfiguration& GetQRCodeKonfiguration();
