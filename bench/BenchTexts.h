// Texts of a given length for encoding benchmarks.
#pragma once

#include <cstddef>
#include <string>

inline std::string TextOfLength(std::size_t n) {
  std::string text;
  while (text.size() < n) text += "Lorem ipsum dolor sit amet, consectetur adipiscing elit. ";
  text.resize(n);
  return text;
}
