#include "CommandLine.h"

#include <charconv>

std::optional<std::string> CommandLine::TakeValue(const std::string& name) {
  for (size_t i = 0; i < m_args.size(); ++i) {
    const std::string& arg = m_args[i];
    if (arg == "--") break;
    if (arg == name) {
      if (i + 1 >= m_args.size()) {
        m_error = name + " needs a value";
        return std::nullopt;
      }
      std::string value = m_args[i + 1];
      m_args.erase(m_args.begin() + static_cast<long>(i), m_args.begin() + static_cast<long>(i) + 2);
      return value;
    }
    if (arg.rfind(name + "=", 0) == 0) {
      std::string value = arg.substr(name.size() + 1);
      m_args.erase(m_args.begin() + static_cast<long>(i));
      return value;
    }
  }
  return std::nullopt;
}

bool CommandLine::TakeFlag(const std::string& name) {
  for (size_t i = 0; i < m_args.size(); ++i) {
    if (m_args[i] == "--") break;
    if (m_args[i] == name) {
      m_args.erase(m_args.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

std::vector<std::string> CommandLine::Rest() {
  std::vector<std::string> rest;
  bool optionsEnded = false;
  for (const std::string& arg : m_args) {
    if (!optionsEnded && arg == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-' && m_error.empty()) {
      m_error = "unknown option " + arg;
    } else {
      rest.push_back(arg);
    }
  }
  return rest;
}

std::optional<int> ParsePositive(const std::string& text) {
  int value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
  return value;
}
