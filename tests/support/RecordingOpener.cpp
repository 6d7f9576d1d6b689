#include "RecordingOpener.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

RecordingOpener::RecordingOpener() {
  char pattern[] = "/tmp/codewerk-opener-XXXXXX";
  m_folder = mkdtemp(pattern);
  m_record = m_folder + "/calls";
  const std::string script = m_folder + "/opener";
  // One record per call: the number of arguments, then each argument on a line of its own.
  std::ofstream(script) << "#!/bin/sh\n{ printf '%s\\n' \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } >> '"
                        << m_record << "'\n";
  std::filesystem::permissions(script, std::filesystem::perms::owner_all);
  setenv("CODEWERK_OPENER", script.c_str(), 1);
}

RecordingOpener::~RecordingOpener() {
  unsetenv("CODEWERK_OPENER");
  std::filesystem::remove_all(m_folder);
}

std::vector<std::vector<std::string>> RecordingOpener::Calls(size_t expected, int ms) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  std::vector<std::vector<std::string>> calls;
  do {
    calls.clear();
    std::ifstream in(m_record);
    std::string line;
    while (std::getline(in, line)) {
      const int count = std::atoi(line.c_str());
      std::vector<std::string> arguments;
      for (int i = 0; i < count && std::getline(in, line); ++i) arguments.push_back(line);
      if (static_cast<int>(arguments.size()) < count) break; // the opener is still writing this call
      calls.push_back(arguments);
    }
    if (calls.size() >= expected) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (std::chrono::steady_clock::now() < end);
  return calls;
}
