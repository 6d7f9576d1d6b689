#include "config/QRCodeKonfiguration.h"

#include "outside/Profile.h"

namespace {

constexpr const char* kFileName = "QRCode.ini";
constexpr const char* kOwnerName = "Brennwald Systemtechnik";

} // namespace

CQRCodeKonfiguration::CQRCodeKonfiguration() {
  m_strStammdatenName = Help_GetLokalStammdatenName(kFileName, kOwnerName);
}

CQRCodeKonfiguration::CQRCodeKonfiguration(CQRCodeKonfiguration& other) : CSaveAsIniFileObject() {
  if (&other != this) CopyFrom(other);
}

CQRCodeKonfiguration& CQRCodeKonfiguration::operator=(CQRCodeKonfiguration& other) {
  if (&other != this) CopyFrom(other);
  return *this;
}

void CQRCodeKonfiguration::CopyFrom(CQRCodeKonfiguration& other) {
  PROFILEHANDLE scratch(1);
  other.Sichere(&scratch);
  Lade(&scratch);
}

int CQRCodeKonfiguration::Lade(PROFILEHANDLE* profile) {
  int encoder = 1, decoder = 1;
  GetPrivateProfileIntA("A", "Enc", 1, encoder, profile);
  GetPrivateProfileIntA("A", "Dec", 1, decoder, profile);
  GetPrivateProfileLong("WC", "cx", 0, m_sizeWebCam.cx, profile);
  GetPrivateProfileLong("WC", "cy", 0, m_sizeWebCam.cy, profile);
  GetPrivateProfileLong("SC", "dpi", 0, m_nScanDpi, profile);
  GetPrivateProfileIntA("DEC", "QR", 1, m_bNurQRCodes, profile);
  GetPrivateProfileIntA("H", "Aktiv", 1, m_bVerlaufAktiv, profile);
  GetPrivateProfileLong("H", "Max", 1000, m_nVerlaufMax, profile);
  // Values outside the enumerations are kept as they are; each reader decides what they mean.
  m_eEncoder = static_cast<T_QRCodeKonfiguration_Encoder>(encoder);
  m_eDecoder = static_cast<T_QRCodeKonfiguration_Decoder>(decoder);
  return 1;
}

int CQRCodeKonfiguration::Sichere(PROFILEHANDLE* profile) {
  WritePrivateProfileInt("A", "Enc", 1, m_eEncoder, profile);
  WritePrivateProfileInt("A", "Dec", 1, m_eDecoder, profile);
  WritePrivateProfileLong("WC", "cx", 0, m_sizeWebCam.cx, profile);
  WritePrivateProfileLong("WC", "cy", 0, m_sizeWebCam.cy, profile);
  WritePrivateProfileLong("SC", "dpi", 0, m_nScanDpi, profile);
  WritePrivateProfileInt("DEC", "QR", 1, m_bNurQRCodes, profile);
  WritePrivateProfileInt("H", "Aktiv", 1, m_bVerlaufAktiv, profile);
  WritePrivateProfileLong("H", "Max", 1000, m_nVerlaufMax, profile);
  return 1;
}

CQRCodeKonfiguration& GetQRCodeKonfiguration() {
  static CQRCodeKonfiguration instance;
  static const bool loaded = instance.Laden() || true;
  (void)loaded;
  return instance;
}
