#include "outside/Trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

bool DoTraceProgrammStart(int) {
  const char* wanted = std::getenv("CODEWERK_TRACE");
  return wanted && *wanted && std::strcmp(wanted, "0") != 0;
}

void TRACECurrentTime(const char* text) {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  std::fprintf(stderr, "%02d:%02d:%02d.%03d %s\n", local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis), text);
}
