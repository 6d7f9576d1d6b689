// The process-wide settings: loaded once, on first use, from whatever thread comes first.
// A program of its own, so that first use happens inside this test.
#include "config/QRCodeKonfiguration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

TEST(SettingsInstanceTest, LoadedOnceFromTheFileAndNeverAgain) {
  const auto file = std::filesystem::path(std::getenv("XDG_CONFIG_HOME")) / "Brennwald Systemtechnik" / "QRCode.ini";
  std::filesystem::create_directories(file.parent_path());
  std::ofstream(file) << "[A]\nEnc=0\nDec=0\n[WC]\ncx=800\ncy=600\n";
  CQRCodeKonfiguration* seen[8];
  std::thread threads[8];
  for (int i = 0; i < 8; ++i) threads[i] = std::thread([&seen, i] { seen[i] = &GetQRCodeKonfiguration(); });
  for (std::thread& t : threads) t.join();
  for (CQRCodeKonfiguration* instance : seen) EXPECT_EQ(instance, seen[0]);
  EXPECT_TRUE(seen[0]->m_eEncoder == Encoder_QREncode && seen[0]->m_sizeWebCam == CSize(800, 600));

  // A page saves its edited copy; the running process keeps what it loaded.
  CQRCodeKonfiguration edited, fresh;
  edited = GetQRCodeKonfiguration();
  edited.m_eDecoder = Decoder_ZXing;
  ASSERT_TRUE(edited.Sichern() && fresh.Laden());
  EXPECT_EQ(std::pair(GetQRCodeKonfiguration().m_eDecoder, fresh.m_eDecoder), std::pair(Decoder_ZBar, Decoder_ZXing));
}
