// A small reader for "command [options] arguments" lines.
#pragma once

#include <optional>
#include <string>
#include <vector>

class CommandLine {
public:
  explicit CommandLine(std::vector<std::string> args) : m_args(std::move(args)) {}

  // Takes "--name value" or "--name=value"; an option given without its value is an error.
  std::optional<std::string> TakeValue(const std::string& name);
  bool TakeFlag(const std::string& name);
  // What is left once the options are taken; an unknown "--option" left over is an error.
  std::vector<std::string> Rest();

  const std::string& Error() const { return m_error; }
  bool Ok() const { return m_error.empty(); }

private:
  std::vector<std::string> m_args;
  std::string m_error;
};

// A whole positive number, or nothing.
std::optional<int> ParsePositive(const std::string& text);
