// The files of a drop, split on a worker thread: pages arrive in order and the other files after
// them, and every temporary bitmap goes with the list, also when it goes before the split is done.
#include "TestPictures.h"
#include "outside/ImageFile.h"
#include "outside/TempFiles.h"
#include "sources/DecodeDateiArray.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class DecodeDateiArrayTest : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(m_dir);
    char folder[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, folder), 0u);
    m_temp = fs::path(folder).parent_path();
  }
  void TearDown() override { fs::remove_all(m_dir); }
  // A scan whose pages are plain grey, page i at shades[i].
  std::string Scan(const std::string& name, const std::vector<int>& shades, int side) {
    std::string command = "convert";
    for (size_t i = 0; i < shades.size(); ++i) {
      const std::string page = (m_dir / ("page" + std::to_string(i) + ".png")).string();
      EXPECT_TRUE(SavePng(Canvas(side, side, static_cast<std::uint8_t>(shades[i])), page));
      command += " '" + page + "'";
    }
    const std::string path = (m_dir / name).string();
    EXPECT_EQ(std::system((command + " -compress lzw '" + path + "'").c_str()), 0);
    return path;
  }
  size_t FilesInTemp() const { return static_cast<size_t>(std::distance(fs::directory_iterator(m_temp), fs::directory_iterator())); }

  fs::path m_dir = fs::temp_directory_path() / ("codewerk-dateien-" + std::to_string(getpid()));
  fs::path m_temp; // the process's private folder
};

} // namespace

TEST_F(DecodeDateiArrayTest, PagesComeInOrderThenTheOtherFilesAndTheirBitmapsGoWithTheList) {
  const std::string scan = Scan("drei Seiten.tif", {30, 130, 230}, 40);
  const std::string picture = (m_dir / "bild.png").string();
  ASSERT_TRUE(SavePng(Canvas(8, 8), picture));
  const std::string broken = (m_dir / "kaputt.tif").string();
  std::ofstream(broken) << "kein TIFF";
  CStringArray dropped;
  for (const std::string& path : {scan, broken, picture}) dropped.Add(path.c_str());
  {
    CDecodeDateiArray files;
    files.StartAddingDateien(dropped);
    CString path;
    for (int page = 0; page < 3; ++page) {
      ASSERT_TRUE(files.WaitForDatei(page, path));
      EXPECT_EQ(fs::path(path.GetString()).parent_path(), m_temp);
      RasterImage image;
      ASSERT_TRUE(LoadImageFile(path, PixelFormat::Gray8, image)) << page;
      EXPECT_EQ(image.pixels[0], 30 + 100 * page);
    }
    ASSERT_TRUE(files.WaitForDatei(3, path));
    EXPECT_EQ(path, broken.c_str()); // not a scan after all: left for the decoder to refuse
    ASSERT_TRUE(files.WaitForDatei(4, path));
    EXPECT_EQ(path, picture.c_str());
    EXPECT_FALSE(files.WaitForDatei(5, path));
    EXPECT_EQ(FilesInTemp(), 3u);
  }
  EXPECT_EQ(FilesInTemp(), 0u);
}

TEST_F(DecodeDateiArrayTest, AListThatGoesWhileSplittingLeavesNoBitmap) {
  CStringArray dropped;
  dropped.Add(Scan("zwoelf Seiten.tif", std::vector<int>(12, 200), 1500).c_str());
  for (int wait : {0, 1}) {
    {
      CDecodeDateiArray files;
      files.StartAddingDateien(dropped);
      CString first;
      if (wait) {
        ASSERT_TRUE(files.WaitForDatei(0, first)); // gone mid-split rather than before it began
      }
    }
    EXPECT_EQ(FilesInTemp(), 0u) << wait;
  }
}
