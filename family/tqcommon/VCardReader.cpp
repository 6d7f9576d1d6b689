// vCard 2.1, 3.0 and 4.0 as phones, mail programs and address books write them.
#include "outside/VCard.h"

#include "outside/CodePage.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <iconv.h>
#include <optional>
#include <strings.h>

namespace {

std::string Lower(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return s;
}

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(s.substr(first, s.find_last_not_of(" \t") - first + 1));
}

struct Property {
  std::string name;                    // upper case, group prefix removed
  std::set<std::string> types;         // lower case
  std::string encoding, charset;
  std::string label;                   // ADR's LABEL parameter: the address as printed
  std::string value;                   // raw, still escaped
};

// Splits at separator where it is not inside double quotes.
std::vector<std::string> SplitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string> parts(1);
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (c == separator && !quoted) parts.emplace_back();
    else parts.back() += c;
  }
  return parts;
}

std::string Unquoted(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '"'), s.end());
  return s;
}

// RFC 6868 escapes in parameter values: "^n" a line break, "^'" a double quote, "^^" a caret.
std::string CaretDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (text[i] == '^' && (next == 'n' || next == 'N' || next == '\'' || next == '^')) {
      out += next == '\'' ? '"' : next == '^' ? '^' : '\n';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool IsParameterName(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) || c == '-'; });
}

// Whether the text up to the next colon holds parameters (";NAME=…", or a bare ";WORK" before that
// colon): then a colon before it was not the one that starts the value.
bool ParametersFollow(std::string_view rest) {
  const size_t colon = rest.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view segment = rest.substr(0, colon);
  for (size_t semicolon = segment.find(';'); semicolon != std::string_view::npos;
       semicolon = segment.find(';', semicolon + 1)) {
    const std::string_view parameter = segment.substr(semicolon + 1);
    const size_t eq = parameter.find('=');
    if (IsParameterName(parameter.substr(0, eq))) return true;
  }
  return false;
}

// Where the value starts: the first colon outside double quotes. LABEL is free text, and some
// address books leave its colons unquoted ("LABEL=Firma: Empfang"); a colon there followed by a
// blank, or by more parameters, is the label's own.
size_t ValueColon(const std::string& line) {
  bool quoted = false, inLabel = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') quoted = !quoted;
    if (quoted || c == '"') continue;
    if (c == ';') {
      inLabel = strncasecmp(line.c_str() + i + 1, "LABEL=", 6) == 0 && line.compare(i + 7, 1, "\"") != 0;
    } else if (c == ':') {
      const bool own = inLabel && ((i + 1 < line.size() && line[i + 1] == ' ') || ParametersFollow(std::string_view(line).substr(i + 1)));
      if (!own) return i;
    }
  }
  return std::string::npos;
}

std::optional<Property> ParseProperty(const std::string& line) {
  const size_t colon = ValueColon(line);
  if (colon == std::string::npos) return std::nullopt;
  Property p;
  p.value = line.substr(colon + 1);
  const auto head = SplitOutsideQuotes(std::string_view(line).substr(0, colon), ';');
  std::string name = Trim(head[0]);
  if (const auto dot = name.rfind('.'); dot != std::string::npos) name = name.substr(dot + 1); // "item1.TEL"
  std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  p.name = name;
  for (size_t i = 1; i < head.size(); ++i) {
    const std::string param = Trim(head[i]);
    const auto eq = param.find('=');
    const std::string key = Lower(Trim(param.substr(0, eq)));
    const std::string value = eq == std::string::npos ? std::string() : CaretDecoded(Unquoted(Trim(param.substr(eq + 1))));
    if (eq == std::string::npos) { // vCard 2.1: bare parameters
      if (key == "quoted-printable" || key == "base64" || key == "b") p.encoding = key;
      else p.types.insert(key);
    } else if (key == "type") {
      for (const std::string& t : SplitOutsideQuotes(value, ',')) p.types.insert(Lower(Trim(t)));
    } else if (key == "encoding") {
      p.encoding = Lower(value);
    } else if (key == "charset") {
      p.charset = value;
    } else if (key == "pref") {
      p.types.insert("pref");
    } else if (key == "label") {
      p.label = value;
    }
  }
  return p;
}

std::string DecodeQuotedPrintable(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '=' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
      i += 2;
    } else if (text[i] == '=' && i + 1 == text.size()) {
      break; // a soft line break that ended the value
    } else {
      out += text[i];
    }
  }
  return out;
}

// The bytes from charset as UTF-8; false when iconv does not know the set or the bytes are not in it.
bool Convert(const std::string& bytes, const char* charset, std::string& out) {
  iconv_t cd = iconv_open("UTF-8//TRANSLIT", charset);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out.assign(bytes.size() * 4 + 16, '\0');
  char* in = const_cast<char*>(bytes.data());
  size_t inLeft = bytes.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  const bool ok = iconv(cd, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1);
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return ok && IsValidUTF8(out.data(), out.size()); // glibc lets code points above U+10FFFF through
}

// Text in a named character set, as UTF-8. Without a name, or when the bytes are not in the named
// set: UTF-8 when they are, else Windows-1252, what older address books on Windows write, and
// Latin-1 when even that leaves a byte out.
std::string ToUtf8(const std::string& bytes, const std::string& charset) {
  const bool utf8 = IsValidUTF8(bytes.data(), bytes.size());
  if (utf8 && (charset.empty() || strcasecmp(charset.c_str(), "UTF-8") == 0)) return bytes;
  std::string out;
  if (!charset.empty() && Convert(bytes, charset.c_str(), out)) return out;
  if (utf8) return bytes;
  if (Convert(bytes, "CP1252", out) || Convert(bytes, "ISO-8859-1", out)) return out;
  return {};
}

// Backslash escapes: "\n" is a line break, "\," "\;" "\:" "\\" stand for themselves.
std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[++i];
      out += (next == 'n' || next == 'N') ? '\n' : next;
    } else {
      out += text[i];
    }
  }
  return out;
}

// Splits a structured value (N, ADR, ORG) at the semicolons that are not escaped.
std::vector<std::string> Components(std::string_view text) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      parts.back() += text.substr(i, 2);
      ++i;
    } else if (text[i] == ';') {
      parts.emplace_back();
    } else {
      parts.back() += text[i];
    }
  }
  for (std::string& part : parts) part = Trim(Unescape(part));
  return parts;
}

std::string DecodedValue(const Property& p) {
  std::string value = p.encoding == "quoted-printable" ? DecodeQuotedPrintable(p.value) : p.value;
  return ToUtf8(value, p.charset);
}

// Joins continuation lines: folding (a leading blank) and quoted-printable soft breaks ("=" at
// the end, continued on the next line even without a blank, up to an empty line).
std::vector<std::string> LogicalLines(const CStringArray& lines) {
  std::vector<std::string> result;
  bool softBreak = false;
  for (const CString& raw : lines) {
    std::string line = raw.str();
    while (!line.empty() && line.back() == '\r') line.pop_back();
    if (softBreak) {
      if (line.empty()) {
        softBreak = false;
        continue;
      }
      result.back().pop_back(); // the "="
      result.back() += line;
    } else if (!line.empty() && (line[0] == ' ' || line[0] == '\t') && !result.empty()) {
      result.back() += line.substr(1);
    } else {
      result.push_back(line);
    }
    const std::string& current = result.empty() ? line : result.back();
    const std::string head = Lower(current.substr(0, current.find(':')));
    softBreak = !current.empty() && current.back() == '=' && head.find("quoted-printable") != std::string::npos;
  }
  return result;
}

bool StartsVCard(const std::string& line) { return strcasecmp(Trim(line).c_str(), "BEGIN:VCARD") == 0; }

void Take(const Property& p, CBaseKunde& k, bool& haveAddress, bool& addressIsPreferred) {
  const std::string text = DecodedValue(p);
  if (p.name == "N") {
    auto n = Components(text);
    n.resize(5);
    k.m_strNachname = n[0], k.m_strVorname = n[1], k.m_strWeitereVornamen = n[2], k.m_strAnrede = n[3];
    k.m_strNamenszusatz = n[4];
  } else if (p.name == "FN") {
    k.m_strAnzeigename = Trim(Unescape(text));
  } else if (p.name == "ORG") {
    auto org = Components(text);
    org.resize(2);
    k.m_strFirma = org[0], k.m_strAbteilung = org[1];
  } else if (p.name == "TITLE") {
    k.m_strPosition = Trim(Unescape(text));
  } else if (p.name == "ADR") {
    // The preferred address wins, else the work address, else the first one.
    const bool preferred = p.types.count("pref") || (p.types.count("work") && !addressIsPreferred);
    if (haveAddress && !(preferred && !addressIsPreferred)) return;
    auto a = Components(text);
    a.resize(7);
    // A vCard 4.0 address may come as its printed label alone, one part per line.
    if (std::all_of(a.begin(), a.end(), [](const std::string& part) { return part.empty(); }))
      a[2] = Trim(Unescape(ToUtf8(p.label, p.charset)));
    k.m_strPostfach = a[0], k.m_strAdresszusatz = a[1], k.m_strStrasse = a[2], k.m_strOrt = a[3];
    k.m_strRegion = a[4], k.m_strPLZ = a[5], k.m_strLand = a[6];
    haveAddress = true;
    addressIsPreferred = p.types.count("pref") != 0;
  } else if (p.name == "TEL") {
    std::string number = Trim(Unescape(text));
    // A tel: URI (vCard 4.0); blanks after the scheme, or the scheme twice, are not part of the number.
    while (strncasecmp(number.c_str(), "tel:", 4) == 0) number = Trim(number.substr(4));
    if (!number.empty()) k.m_arTelefon.push_back({CString(number), p.types});
  } else if (p.name == "EMAIL" || p.name == "URL") {
    // A preferred address goes first; the record takes the first one.
    CStringArray& list = p.name == "EMAIL" ? k.m_arEMail : k.m_arInternet;
    const CString address(Trim(Unescape(text)));
    if (address.IsEmpty()) return;
    if (p.types.count("pref")) list.InsertAt(0, address);
    else list.Add(address);
  }
}

} // namespace

bool CVCardReader::Lese(const CStringArray& lines) {
  m_bGelesen = false;
  m_kunde = CBaseKunde();
  const std::vector<std::string> logical = LogicalLines(lines);
  auto line = std::find_if(logical.begin(), logical.end(), [](const std::string& l) { return !Trim(l).empty(); });
  if (line == logical.end() || !StartsVCard(*line)) return false;
  bool haveAddress = false, addressIsPreferred = false;
  for (++line; line != logical.end(); ++line) {
    if (strcasecmp(Trim(*line).c_str(), "END:VCARD") == 0) break;
    if (auto property = ParseProperty(*line)) Take(*property, m_kunde, haveAddress, addressIsPreferred);
  }
  m_bGelesen = true;
  return true;
}

void CVCardReader::GetAsKunde(CBaseKunde& kunde) const { kunde = m_kunde; }

bool IsVCard(const CStringArray& lines, CVCardReader& reader) { return reader.Lese(lines); }
