#include "SaneScanner.h"

#include <sane/saneopts.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <sstream>
#include <strings.h>

namespace {

std::timed_mutex& SaneMutex() {
  static std::timed_mutex mutex;
  return mutex;
}

// One piece of work at a time; waiting longer than this means a driver hangs.
constexpr auto kWaitForSane = std::chrono::seconds(2);

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

bool Contains(const std::string& lowered, std::initializer_list<const char*> parts) {
  return std::any_of(parts.begin(), parts.end(), [&](const char* part) { return lowered.find(part) != std::string::npos; });
}

bool Settable(const SANE_Option_Descriptor* d) { return d && SANE_OPTION_IS_ACTIVE(d->cap) && SANE_OPTION_IS_SETTABLE(d->cap); }

// The allowed value nearest to wanted, in the option's own units.
SANE_Word Constrain(const SANE_Option_Descriptor& d, SANE_Word wanted) {
  if (d.constraint_type == SANE_CONSTRAINT_RANGE && d.constraint.range) {
    const SANE_Range& r = *d.constraint.range;
    SANE_Word value = std::clamp(wanted, r.min, r.max);
    if (r.quant > 0) value = r.min + static_cast<SANE_Word>(std::llround(double(value - r.min) / r.quant)) * r.quant;
    return std::min(value, r.max);
  }
  if (d.constraint_type == SANE_CONSTRAINT_WORD_LIST && d.constraint.word_list && d.constraint.word_list[0] > 0) {
    const SANE_Word* list = d.constraint.word_list;
    SANE_Word best = list[1];
    for (SANE_Word i = 1; i <= list[0]; ++i)
      if (std::llabs(static_cast<long long>(list[i]) - wanted) < std::llabs(static_cast<long long>(best) - wanted)) best = list[i];
    return best;
  }
  return wanted;
}

SANE_Word ToWord(const SANE_Option_Descriptor& d, double value) {
  return d.type == SANE_TYPE_FIXED ? SANE_FIX(value) : static_cast<SANE_Word>(std::lround(value));
}

} // namespace

SaneSession::SaneSession() : m_lock(SaneMutex(), kWaitForSane) {
  SANE_Int version = 0;
  m_status = m_lock ? sane_init(&version, nullptr) : SANE_STATUS_DEVICE_BUSY;
}

SaneSession::~SaneSession() {
  if (m_lock && m_status == SANE_STATUS_GOOD) sane_exit();
}

int ClassifySource(const std::string& name) {
  const std::string lowered = Lower(name);
  if (Contains(lowered, {"duplex"})) return static_cast<int>(ScanVorlage::EinzugBeidseitig);
  if (Contains(lowered, {"adf", "feeder", "automatic"})) return static_cast<int>(ScanVorlage::Einzug);
  if (Contains(lowered, {"flatbed", "flachbett", "normal", "platen"})) return static_cast<int>(ScanVorlage::Flachbett);
  return -1;
}

SaneScanner::~SaneScanner() {
  std::lock_guard lock(m_handleMutex);
  if (m_handle) sane_close(m_handle);
  m_handle = nullptr;
}

SANE_Status SaneScanner::Open(const std::string& name) {
  SANE_Handle handle = nullptr;
  const SANE_Status status = sane_open(name.c_str(), &handle);
  if (status == SANE_STATUS_GOOD) {
    std::lock_guard lock(m_handleMutex);
    m_handle = handle;
  }
  return status;
}

// Only a read in progress is broken off from here; the worker's own cancel after the page does the
// rest. Two cancels at once make some back ends join their reader thread twice. Never waits: the
// worker may hang inside a driver while it holds the handle.
bool SaneScanner::Cancel() {
  std::unique_lock lock(m_handleMutex, std::try_to_lock);
  if (!lock) return false;
  if (m_handle && m_reading) sane_cancel(m_handle);
  m_reading = false;
  return true;
}

SANE_Status SaneScanner::Read(SANE_Byte* buffer, SANE_Int size, SANE_Int& length, const std::atomic<bool>& cancel) {
  {
    std::lock_guard lock(m_handleMutex);
    if (cancel) return SANE_STATUS_CANCELLED;
    m_reading = true;
  }
  const SANE_Status status = sane_read(m_handle, buffer, size, &length);
  std::lock_guard lock(m_handleMutex);
  m_reading = false;
  return status;
}

const SANE_Option_Descriptor* SaneScanner::Find(const char* name, SANE_Int& index) const {
  SANE_Int count = 0;
  if (!m_handle || sane_control_option(m_handle, 0, SANE_ACTION_GET_VALUE, &count, nullptr) != SANE_STATUS_GOOD) return nullptr;
  for (index = 1; index < count; ++index) {
    const SANE_Option_Descriptor* d = sane_get_option_descriptor(m_handle, index);
    if (d && d->name && std::strcmp(d->name, name) == 0) return d;
  }
  return nullptr;
}

std::vector<std::string> SaneScanner::StringChoices(const char* name) const {
  std::vector<std::string> choices;
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name, index);
  if (d && d->type == SANE_TYPE_STRING && d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
    for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s) choices.emplace_back(*s);
  return choices;
}

void SaneScanner::DescribeSources(ScannerInfo& info) const {
  const std::vector<std::string> sources = StringChoices(SANE_NAME_SCAN_SOURCE);
  bool any = false;
  info.flatbed = info.feeder = info.duplex = false;
  for (const std::string& source : sources) {
    const int kind = ClassifySource(source);
    any |= kind >= 0;
    info.flatbed |= kind == static_cast<int>(ScanVorlage::Flachbett);
    info.feeder |= kind == static_cast<int>(ScanVorlage::Einzug);
    info.duplex |= kind == static_cast<int>(ScanVorlage::EinzugBeidseitig);
  }
  // No source to choose (or none we know): whatever the device does by itself, one page a press.
  if (!any) info.flatbed = true;
}

SANE_Status SaneScanner::SetNumber(const char* name, double value) {
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name, index);
  if (!Settable(d) || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < static_cast<SANE_Int>(sizeof(SANE_Word)))
    return SANE_STATUS_UNSUPPORTED;
  std::vector<SANE_Word> words(static_cast<std::size_t>(d->size) / sizeof(SANE_Word), Constrain(*d, ToWord(*d, value)));
  return sane_control_option(m_handle, index, SANE_ACTION_SET_VALUE, words.data(), nullptr);
}

double SaneScanner::GetNumber(const char* name) const {
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name, index);
  if (!d || (d->type != SANE_TYPE_INT && d->type != SANE_TYPE_FIXED) || d->size < static_cast<SANE_Int>(sizeof(SANE_Word)))
    return std::nan("");
  std::vector<SANE_Word> words(static_cast<std::size_t>(d->size) / sizeof(SANE_Word));
  if (sane_control_option(m_handle, index, SANE_ACTION_GET_VALUE, words.data(), nullptr) != SANE_STATUS_GOOD) return std::nan("");
  return d->type == SANE_TYPE_FIXED ? SANE_UNFIX(words[0]) : words[0];
}

SANE_Status SaneScanner::SetEdge(const char* name, bool maximum) {
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name, index);
  if (!Settable(d) || d->constraint_type != SANE_CONSTRAINT_RANGE || !d->constraint.range) return SANE_STATUS_UNSUPPORTED;
  SANE_Word value = maximum ? d->constraint.range->max : d->constraint.range->min;
  return sane_control_option(m_handle, index, SANE_ACTION_SET_VALUE, &value, nullptr);
}

SANE_Status SaneScanner::SetString(const char* name, const std::string& value) {
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name, index);
  if (!Settable(d) || d->type != SANE_TYPE_STRING || d->size <= 0) return SANE_STATUS_UNSUPPORTED;
  std::string chosen = value;
  if (d->constraint_type == SANE_CONSTRAINT_STRING_LIST)
    for (const SANE_String_Const* s = d->constraint.string_list; s && *s; ++s)
      if (strcasecmp(*s, value.c_str()) == 0) chosen = *s;
  std::vector<char> buffer(static_cast<std::size_t>(d->size), '\0');
  std::memcpy(buffer.data(), chosen.data(), std::min(chosen.size(), buffer.size() - 1));
  return sane_control_option(m_handle, index, SANE_ACTION_SET_VALUE, buffer.data(), nullptr);
}

SANE_Status SaneScanner::SetFromText(const std::string& name, const std::string& value) {
  SANE_Int index = 0;
  const SANE_Option_Descriptor* d = Find(name.c_str(), index);
  if (!Settable(d)) return SANE_STATUS_UNSUPPORTED;
  switch (d->type) {
    case SANE_TYPE_BOOL: {
      const std::string lowered = Lower(value);
      SANE_Bool on = lowered == "yes" || lowered == "true" || lowered == "1" || lowered == "ja" ? SANE_TRUE : SANE_FALSE;
      return sane_control_option(m_handle, index, SANE_ACTION_SET_VALUE, &on, nullptr);
    }
    case SANE_TYPE_INT:
    case SANE_TYPE_FIXED: {
      char* end = nullptr;
      const double number = std::strtod(value.c_str(), &end);
      return end && *end == '\0' && end != value.c_str() ? SetNumber(name.c_str(), number) : SANE_STATUS_INVAL;
    }
    case SANE_TYPE_STRING: return SetString(name.c_str(), value);
    case SANE_TYPE_BUTTON: return sane_control_option(m_handle, index, SANE_ACTION_SET_VALUE, nullptr, nullptr);
    default: return SANE_STATUS_UNSUPPORTED;
  }
}

SANE_Status SaneScanner::Configure(const ScanRequest& request) {
  const std::vector<std::string> sources = StringChoices(SANE_NAME_SCAN_SOURCE);
  const auto source = std::find_if(sources.begin(), sources.end(),
                                   [&](const std::string& s) { return ClassifySource(s) == static_cast<int>(request.vorlage); });
  if (source != sources.end()) SetString(SANE_NAME_SCAN_SOURCE, *source);
  else if (request.vorlage != ScanVorlage::Flachbett) return SANE_STATUS_UNSUPPORTED; // no feeder here

  // Codes are black and white: grey is enough and faster; colour when there is no grey.
  const std::vector<std::string> modes = StringChoices(SANE_NAME_SCAN_MODE);
  auto mode = std::find_if(modes.begin(), modes.end(), [](const std::string& m) { return Contains(Lower(m), {"gray", "grey"}); });
  if (mode == modes.end())
    mode = std::find_if(modes.begin(), modes.end(), [](const std::string& m) { return Contains(Lower(m), {"color", "colour"}); });
  if (mode != modes.end()) SetString(SANE_NAME_SCAN_MODE, *mode);
  SetNumber(SANE_NAME_BIT_DEPTH, 8);

  if (request.dpi > 0 && SetNumber(SANE_NAME_SCAN_RESOLUTION, request.dpi) == SANE_STATUS_UNSUPPORTED) {
    SetNumber(SANE_NAME_SCAN_X_RESOLUTION, request.dpi);
    SetNumber(SANE_NAME_SCAN_Y_RESOLUTION, request.dpi);
  }
  SetEdge(SANE_NAME_SCAN_TL_X, false);
  SetEdge(SANE_NAME_SCAN_TL_Y, false);
  SetEdge(SANE_NAME_SCAN_BR_X, true);
  SetEdge(SANE_NAME_SCAN_BR_Y, true);

  std::istringstream options(request.options);
  for (std::string entry; std::getline(options, entry, ';');) {
    const auto equals = entry.find('=');
    if (equals != std::string::npos && equals > 0) SetFromText(entry.substr(0, equals), entry.substr(equals + 1));
  }
  return SANE_STATUS_GOOD;
}

SANE_Status SaneScanner::ReadFrames(ScanPageAssembler& assembler, const std::atomic<bool>& cancel,
                                    const std::function<void(int)>& percent) {
  std::vector<SANE_Byte> buffer(256 * 1024);
  for (bool first = true;; first = false) {
    if (!first) {
      const SANE_Status next = sane_start(m_handle); // the next frame of a three-pass page
      if (next != SANE_STATUS_GOOD) return next;
    }
    SANE_Parameters parameters{};
    SANE_Status status = sane_get_parameters(m_handle, &parameters);
    if (status != SANE_STATUS_GOOD) return status;
    if (!assembler.BeginFrame(parameters)) return SANE_STATUS_UNSUPPORTED;
    const double expected = parameters.lines > 0 ? double(parameters.lines) * parameters.bytes_per_line : 0;
    double received = 0;
    for (;;) {
      SANE_Int length = 0;
      status = Read(buffer.data(), static_cast<SANE_Int>(buffer.size()), length, cancel);
      if (status == SANE_STATUS_EOF) break;
      if (status != SANE_STATUS_GOOD) return status;
      if (!assembler.Append(buffer.data(), static_cast<std::size_t>(length))) return SANE_STATUS_NO_MEM;
      received += length;
      if (percent) percent(expected > 0 ? static_cast<int>(std::min(100.0, 100.0 * received / expected)) : -1);
    }
    if (assembler.LastFrameBegun()) return SANE_STATUS_GOOD;
  }
}

SANE_Status SaneScanner::ReadPage(RasterImage& page, const std::atomic<bool>& cancel, const std::function<void(int)>& percent) {
  if (cancel) return SANE_STATUS_CANCELLED;
  SANE_Status status = sane_start(m_handle);
  if (status == SANE_STATUS_GOOD) {
    ScanPageAssembler assembler;
    status = ReadFrames(assembler, cancel, percent);
    if (status == SANE_STATUS_GOOD && !assembler.Finish(page)) status = SANE_STATUS_IO_ERROR; // not one whole row
  }
  if (cancel) return SANE_STATUS_CANCELLED;
  if (status != SANE_STATUS_GOOD) return status; // told first: stopping a failed driver can hang
  std::lock_guard lock(m_handleMutex);
  sane_cancel(m_handle); // after every page, as SANE asks
  return status;
}

SANE_Status ListScanners(std::vector<ScannerInfo>& scanners) {
  scanners.clear();
  const SANE_Device** devices = nullptr;
  const SANE_Status status = sane_get_devices(&devices, SANE_FALSE);
  if (status != SANE_STATUS_GOOD) return status;
  for (const SANE_Device** d = devices; d && *d; ++d) {
    ScannerInfo info;
    info.name = (*d)->name;
    info.label = (std::string((*d)->vendor ? (*d)->vendor : "") + " " + ((*d)->model ? (*d)->model : "")).c_str();
    info.label.Trim();
    if (info.label.IsEmpty()) info.label = info.name;
    SaneScanner scanner;
    if (scanner.Open((*d)->name) == SANE_STATUS_GOOD) scanner.DescribeSources(info);
    scanners.push_back(info);
  }
  // Two devices of one model are told apart by their SANE names.
  std::vector<std::string> labels;
  for (const ScannerInfo& info : scanners) labels.push_back(info.label.str());
  for (ScannerInfo& info : scanners)
    if (std::count(labels.begin(), labels.end(), info.label.str()) > 1) info.label += " (" + info.name + ")";
  return SANE_STATUS_GOOD;
}
