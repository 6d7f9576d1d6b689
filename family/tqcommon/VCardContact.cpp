// What the system makes of a contact: its communication record, its postal address, its vCard.
#include "outside/VCard.h"

#include "outside/TextServices.h"

#include <initializer_list>

namespace {

bool IsMobile(const CVCardTelefon& t) { return t.Is("cell") || t.Is("mobile") || t.Is("iphone"); }

bool IsPlainVoice(const CVCardTelefon& t) {
  for (const std::string& type : t.m_types)
    if (type != "voice" && type != "pref" && type != "main") return false;
  return true;
}

bool FillFirstFree(std::initializer_list<CString*> fields, const CString& value) {
  for (CString* field : fields)
    if (field->IsEmpty()) {
      *field = value;
      return true;
    }
  return false;
}

CString Joined(std::initializer_list<CString> parts, const char* separator) {
  CString text;
  for (const CString& part : parts) {
    if (part.IsEmpty()) continue;
    if (!text.IsEmpty()) text += separator;
    text += part;
  }
  return text;
}

// vCard 3.0 escaping of one text value.
CString Escaped(const CString& value) {
  CString text;
  for (char c : value.view()) {
    if (c == '\\' || c == ',' || c == ';') text += '\\';
    if (c == '\n') text += "\\n";
    else if (c != '\r') text += c;
  }
  return text;
}

} // namespace

CString CBaseKunde::GetName() const {
  const CString name = Joined({m_strVorname, m_strNachname}, " ");
  return name.IsEmpty() ? m_strAnzeigename : name;
}

bool CBaseKunde::HasPostalAddress() const {
  return !(m_strPostfach.IsEmpty() && m_strAdresszusatz.IsEmpty() && m_strStrasse.IsEmpty() && m_strPLZ.IsEmpty() &&
           m_strOrt.IsEmpty() && m_strLand.IsEmpty());
}

void CBasisKundeDatenbankEintrag::InitEintrag(const CBaseKunde& kunde) {
  *this = CBasisKundeDatenbankEintrag();
  m_kunde = kunde;
  for (const CVCardTelefon& tel : kunde.m_arTelefon) {
    const CString& number = tel.m_strNummer;
    if (tel.Is("fax")) {
      FillFirstFree({&m_strFax}, number);
      continue;
    }
    bool placed = false;
    if (IsMobile(tel)) placed = FillFirstFree({&m_strMobil}, number);
    else if (tel.Is("work") || IsPlainVoice(tel)) placed = FillFirstFree({&m_strTel1, &m_strTel2}, number);
    else if (tel.Is("home")) placed = FillFirstFree({&m_strPrivat}, number);
    if (!placed) FillFirstFree({&m_strSonstiges}, number);
  }
  if (!kunde.m_arEMail.IsEmpty()) m_strEMail = kunde.m_arEMail[0];
  if (!kunde.m_arInternet.IsEmpty()) m_strInternet = kunde.m_arInternet[0];
  m_strLand = kunde.m_strLand;
}

CKundeAlsAnschrift::CKundeAlsAnschrift(const CBasisKundeDatenbankEintrag* eintrag, int) {
  if (!eintrag || !eintrag->GetKunde().HasPostalAddress()) return;
  const CBaseKunde& k = eintrag->GetKunde();
  auto add = [this](const CString& line) {
    if (!line.IsEmpty()) m_arZeilen.Add(line);
  };
  add(Joined({k.m_strAnrede, k.GetName()}, " "));
  if (k.m_strFirma != k.GetName()) add(k.m_strFirma);
  // Some address books put a whole address into one field, one part per line.
  for (const CString* field : {&k.m_strAdresszusatz, &k.m_strStrasse}) {
    CStringArray lines;
    BreakLine(*field, lines);
    for (const CString& line : lines) add(CString(line).Trim());
  }
  add(k.m_strPostfach);
  add(Joined({k.m_strPLZ, k.m_strOrt}, " "));
  add(k.m_strLand);
}

CString GetVCardText(const CBaseKunde& k) {
  // vCard lines end with CR LF; readers that insist on it are common.
  const char* const end = "\r\n";
  CString text = CString("BEGIN:VCARD") + end + "VERSION:3.0" + end;
  text += "N:" + Escaped(k.m_strNachname) + ";" + Escaped(k.m_strVorname) + ";;" + Escaped(k.m_strAnrede) + ";" + end;
  const CString display = k.m_strAnzeigename.IsEmpty() ? Joined({k.m_strVorname, k.m_strNachname}, " ") : k.m_strAnzeigename;
  text += "FN:" + Escaped(display.IsEmpty() ? k.m_strFirma : display) + end;
  if (!k.m_strFirma.IsEmpty()) text += "ORG:" + Escaped(k.m_strFirma) + end;
  if (k.HasPostalAddress())
    text += "ADR;TYPE=WORK:" + Escaped(k.m_strPostfach) + ";" + Escaped(k.m_strAdresszusatz) + ";" +
            Escaped(k.m_strStrasse) + ";" + Escaped(k.m_strOrt) + ";" + Escaped(k.m_strRegion) + ";" + Escaped(k.m_strPLZ) +
            ";" + Escaped(k.m_strLand) + end;
  for (const CVCardTelefon& tel : k.m_arTelefon) {
    CString types;
    for (const std::string& type : tel.m_types) types += (types.IsEmpty() ? "" : ",") + CString(type).MakeUpper();
    text += "TEL" + (types.IsEmpty() ? CString() : ";TYPE=" + types) + ":" + Escaped(tel.m_strNummer) + end;
  }
  for (const CString& mail : k.m_arEMail) text += "EMAIL;TYPE=INTERNET:" + Escaped(mail) + end;
  for (const CString& url : k.m_arInternet) text += "URL:" + Escaped(url) + end;
  return text + "END:VCARD" + end;
}
