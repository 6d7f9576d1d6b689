// Contacts: reading vCards (2.1, 3.0, 4.0) into a customer, the customer's communication record
// and postal address, and writing a contact as a vCard 3.0 text.
#pragma once

#include "CArray.h"
#include "CString.h"

#include <set>
#include <string>
#include <vector>

struct CVCardTelefon {
  CString m_strNummer;
  std::set<std::string> m_types; // lower case: "work", "home", "cell", "fax", "voice", "pref", …
  bool Is(const char* type) const { return m_types.count(type) != 0; }
};

// A contact as a vCard describes it. Texts are UTF-8.
class CBaseKunde {
public:
  CString m_strAnrede, m_strVorname, m_strWeitereVornamen, m_strNachname, m_strNamenszusatz;
  CString m_strAnzeigename; // FN
  CString m_strFirma, m_strAbteilung, m_strPosition;
  CString m_strPostfach, m_strAdresszusatz, m_strStrasse, m_strOrt, m_strRegion, m_strPLZ, m_strLand;
  std::vector<CVCardTelefon> m_arTelefon;
  CStringArray m_arEMail;
  CStringArray m_arInternet;

  // "Vorname Nachname", or the display name when the structured name is empty.
  CString GetName() const;
  bool HasPostalAddress() const;
};

class CVCardReader {
public:
  // Reads the first vCard in the lines; false when they hold none.
  bool Lese(const CStringArray& lines);
  bool IsRead() const { return m_bGelesen; }
  void GetAsKunde(CBaseKunde& kunde) const;

private:
  bool m_bGelesen = false;
  CBaseKunde m_kunde;
};

// Whether the lines begin a vCard; the reader holds it afterwards.
bool IsVCard(const CStringArray& lines, CVCardReader& reader);

// The communication record of a customer. How vCard telephone types land in it:
//   work (with or without voice)          -> Tel1, a second one -> Tel2
//   cell / mobile / iphone                -> Mobil
//   home (not fax)                        -> privat
//   fax (work or home)                    -> Fax (the first; further faxes are dropped)
//   no type, voice, main, pref            -> Tel1 or Tel2 while free
//   everything else (pager, text, …) and numbers of an already taken kind -> Sonstiges (the first)
// The dialling context is the address's country: it tells the dialler how to read a number that
// lacks its international prefix.
class CBasisKundeDatenbankEintrag {
public:
  void InitEintrag(const CBaseKunde& kunde);
  const CBaseKunde& GetKunde() const { return m_kunde; }
  const CString& GetWaehlKontext() const { return m_strLand; }

  CString m_strTel1, m_strTel2, m_strMobil, m_strSonstiges, m_strPrivat, m_strFax, m_strEMail, m_strInternet;
  CString m_strLand;

private:
  CBaseKunde m_kunde;
};

// A customer's postal address as lines. Mode 0: name, company, street (with PO box and addition),
// postcode and town, country; empty lines are left out. No lines at all when the customer has no
// postal address.
class CKundeAlsAnschrift {
public:
  CKundeAlsAnschrift(const CBasisKundeDatenbankEintrag* eintrag, int mode);
  int GetSize() const { return m_arZeilen.GetSize(); }
  CString GetAt(int index) const { return m_arZeilen.GetAt(index); }

private:
  CStringArray m_arZeilen;
};

// A vCard 3.0 text of the contact, each line ended by "\r\n".
CString GetVCardText(const CBaseKunde& kunde);
