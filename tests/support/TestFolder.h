// What the tests share: a folder of the test's own, gone with the test, files and pictures written
// into it and read back whole, and the texts of a list of reads.
#pragma once
#include "TestPictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

inline std::string FileText(const fs::path& f) { std::ifstream in(f, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }

template <class T> std::vector<std::string> Texts(const std::vector<T>& reads, bool sorted = true) {
  std::vector<std::string> texts;
  for (const T& r : reads) texts.push_back(r.text);
  return sorted ? (std::sort(texts.begin(), texts.end()), texts) : texts;
}

template <class Base = ::testing::Test> class InFolder : public Base {
protected:
  void SetUp() override { fs::create_directories(m_dir); }
  void TearDown() override { fs::remove_all(m_dir); }
  std::string Path(const std::string& name) const { return (m_dir / name).string(); }
  std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
    std::ofstream(m_dir / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
    return Path(name);
  }
  // Saved by an independent writer, as BMP or PNG by the name's ending.
  std::string Picture(const std::string& name, const GrayImage& image) const {
    EXPECT_TRUE(name.ends_with(".bmp") ? SaveBmp(image, Path(name)) : SavePng(image, Path(name))) << name;
    return Path(name);
  }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-test-" + std::to_string(getpid()));
};
