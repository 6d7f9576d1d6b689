// The scanning child reports to the job over a local socket: one message per event, each a kind
// byte, a length and the bytes. A killed child simply ends the stream.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace ScanChannel {

enum Kind : char {
  kPhase = 'f',   // one byte: 0 looking for scanners, 1 scanning
  kPage = 'n',    // int32: the page now being read, from 1
  kPercent = '%', // int32: of the current page, -1 unknown
  kImage = 'p',   // int32 width, int32 height, byte bytes per pixel, then the rows
  kScanner = 's', // name, NUL, label, NUL, flatbed, feeder, duplex
  kDevice = 'd',  // the device scanned with
  kMessage = 'm', // a fault for the user
  kDone = 'e',    // all is said; closing the device may still take a moment
};

// While pages are read the child reports at least this often, even when nothing changed: the job
// takes a long silence for a hung driver.
constexpr std::chrono::seconds kReportEvery{1};

// Whole messages or false (the other side is gone). Never raises SIGPIPE.
bool Send(int socket, Kind kind, const void* data, std::size_t size);
bool Send(int socket, Kind kind, const std::string& text);
bool SendNumber(int socket, Kind kind, std::int32_t number);
bool Receive(int socket, char& kind, std::string& payload);
std::int32_t NumberIn(const std::string& payload, std::size_t at = 0);

} // namespace ScanChannel
