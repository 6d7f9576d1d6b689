// An opener that records what it was asked to open, for tests of the desktop actions: a small
// script put into CODEWERK_OPENER that writes its argument count and arguments to a file.
#pragma once

#include <string>
#include <vector>

class RecordingOpener {
public:
  RecordingOpener();
  ~RecordingOpener();
  // Each call's arguments, waiting up to ms for calls that are still starting.
  std::vector<std::vector<std::string>> Calls(size_t expected = 1, int ms = 3000) const;

private:
  std::string m_folder, m_record;
};
