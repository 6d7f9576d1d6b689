// libFuzzer target: any bytes as a decoded text (the first byte picks the symbology), classified as
// the "Ergebnis" dialog would show it. Whatever the text, an offered address is one the opener may
// be given: a known scheme, UTF-8 without control characters or blanks, the host in ASCII, a mail
// address with no header but subject and body, a telephone address of digits and its parameters,
// and made again from itself unchanged.
#include "outside/CodePage.h"
#include "outside/DesktopActions.h"
#include "results/ResultClassification.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace {

const char* const kSymbols[] = {"QRCode", "QR-Code", "EAN-13", "EAN_13", "ISBN-13", "Tastatur", "DataMatrix"};

void Check(bool ok) {
  if (!ok) __builtin_trap();
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool HasControlOrBlank(std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c <= 0x20 || c == 0x7F) return true;
    if (c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) <= 0x9F) return true; // C1
  }
  return false;
}

bool IsAsciiHost(std::string_view host) {
  for (char c : host)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return !host.empty();
}

void CheckMail(std::string_view address) {
  const size_t query = address.find('?');
  const std::string_view recipients = address.substr(7, query == std::string_view::npos ? query : query - 7);
  Check(!recipients.empty() && recipients.find_first_of("?&") == std::string_view::npos);
  for (size_t at = recipients.find('@'); at != std::string_view::npos; at = recipients.find('@', at + 1)) {
    const std::string_view domain = recipients.substr(at + 1, recipients.find(',', at) - at - 1);
    Check(IsAsciiHost(domain));
  }
  if (query == std::string_view::npos) return;
  std::string_view fields = address.substr(query + 1);
  bool subject = false, body = false;
  while (!fields.empty()) {
    const std::string_view field = fields.substr(0, fields.find('&'));
    fields.remove_prefix(std::min(field.size() + 1, fields.size()));
    if (StartsWith(field, "subject=")) Check(!subject), subject = true;
    else if (StartsWith(field, "body=")) Check(!body), body = true;
    else Check(false); // a header the mail program must not be told
  }
}

void CheckAddress(const ResultEntry& entry) {
  const std::string_view address = entry.address.view();
  Check(IsValidUTF8(address.data(), address.size()) && !HasControlOrBlank(address) && address[0] != '-');
  if (StartsWith(address, "http://") || StartsWith(address, "https://")) {
    Check(entry.icon == TaskIcon_Internet);
    const std::string_view rest = address.substr(address.find("://") + 3);
    std::string_view host = rest.substr(0, rest.find_first_of("/?#"));
    host = host.substr(host.rfind('@') == std::string_view::npos ? 0 : host.rfind('@') + 1);
    Check(IsAsciiHost(host));
  } else if (StartsWith(address, "mailto:")) {
    Check(entry.icon == TaskIcon_EMail);
    CheckMail(address);
  } else if (StartsWith(address, "tel:")) {
    Check(entry.icon == TaskIcon_Telefon || entry.icon == TaskIcon_Mobil);
    const std::string_view number = address.substr(4, address.find(';') - 4);
    Check(!number.empty() && number.find_first_not_of("0123456789+*#") == std::string_view::npos);
    for (size_t semicolon = address.find(';'); semicolon != std::string_view::npos; semicolon = address.find(';', semicolon + 1))
      Check(StartsWith(address.substr(semicolon), ";ext=") || StartsWith(address.substr(semicolon), ";phone-context="));
  } else {
    Check(false); // no other scheme is ever offered
  }
  Check(DesktopAddressFor(entry.address) == entry.address);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const CString symbol = kSymbols[data[0] % (sizeof kSymbols / sizeof kSymbols[0])];
  const CString text(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
  const std::vector<ResultGroup> groups = ClassifyDecodeResult(text, symbol);
  Check(!groups.empty() && groups.front().wholeText == text);
  for (const ResultGroup& group : groups) {
    Check(&group == &groups.front() || group.wholeText.IsEmpty());
    for (const ResultEntry& entry : group.entries)
      if (!entry.address.IsEmpty()) CheckAddress(entry);
  }
  return 0;
}
