// Text -> code -> BMP file -> independent readers -> the same bytes, for both back ends.
#include "CodeReaders.h"
#include "encode/CalcAusdehnung.h"
#include "encode/EncodedBitmap.h"
#include "encode/EncoderGetCodeItem_QREncode.h"
#include "encode/EncoderGetCodeItem_ZInt.h"
#include "outside/DibServices.h"
#include "outside/GlobalMemory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>
#include <unistd.h>

namespace {

std::string LongText(size_t length) {
  std::string text;
  while (text.size() < length) text += "abcdefghijklmnopqrstuvwxyz0123456789 ";
  text.resize(length);
  return text;
}

const std::string kVCard =
    "BEGIN:VCARD\nVERSION:3.0\nN:M\xC3\xBCller;J\xC3\xBCrgen;;;\nFN:J\xC3\xBCrgen M\xC3\xBCller\n"
    "ORG:B\xC3\xA4" "ckerei & Co\nTEL;TYPE=work,voice:+49 30 1234567\nEMAIL:j@example.de\nEND:VCARD";

struct Sample {
  const char* name;
  std::string text;
};

const Sample kSamples[] = {
    {"ascii", "https://www.example.org/path?q=1&r=2"},
    {"umlauts", "Gr\xC3\xBC\xC3\x9F" "e aus K\xC3\xB6ln"},
    {"euro", "\xE2\x82\xAC 5"},
    {"emoji", "ok \xF0\x9F\x98\x80 \xF0\x9F\x8E\x89"},
    {"vcard", kVCard},
    {"thousand", LongText(1000)},
};

enum class Backend { QREncode, ZInt };

struct Encoders {
  CEncoderGetCodeItem_QREncode qr;
  CEncoderGetCodeItem_ZInt zint;
  CEncoderItemBase& For(Backend backend) { return backend == Backend::QREncode ? static_cast<CEncoderItemBase&>(qr) : zint; }
};

class EncodeRoundTripTest : public ::testing::TestWithParam<Backend> {
protected:
  void TearDown() override { std::filesystem::remove(m_path); }

  // Encodes at three pixels per module, writes the BMP, and reads the file back with stb_image.
  GrayImage EncodeToFileAndLoad(const std::string& text) {
    Encoders encoders;
    CSubDlgEncodeBaseCalcAusdehnungFest calc(3, 3);
    HGLOBAL dib = GetEncodedBitmap(CString(text), encoders.For(GetParam()), calc, 0, 0xFFFFFF);
    if (!dib) return GrayImage{};
    const bool written = WriteDIB(m_path.c_str(), dib);
    GlobalFree(dib);
    return written ? WithQuietZone(LoadGrayWithStb(m_path), 12) : GrayImage{};
  }

  // Dense codes can show a reader phantom linear symbols too; only the QR code is of interest.
  static std::vector<ReadCode> QrCodesOnly(std::vector<ReadCode> codes) {
    std::erase_if(codes, [](const ReadCode& c) { return c.format != "QRCode" && c.format != "QR-Code"; });
    return codes;
  }

  void ExpectBothReadersReturn(const std::string& text, const char* what) {
    const GrayImage image = EncodeToFileAndLoad(text);
    ASSERT_FALSE(image.empty()) << what;
    const auto zxing = QrCodesOnly(ReadWithZXing(image));
    ASSERT_EQ(zxing.size(), 1u) << what << " (zxing-cpp)";
    EXPECT_EQ(zxing[0].text, text) << what << " (zxing-cpp)";
    const auto zbar = QrCodesOnly(ReadWithZBar(image));
    ASSERT_EQ(zbar.size(), 1u) << what << " (ZBar)";
    EXPECT_EQ(zbar[0].text, text) << what << " (ZBar)";
  }

  std::string m_path = (std::filesystem::temp_directory_path() / ("codewerk-roundtrip-" + std::to_string(getpid()) + ".bmp")).string();
};

} // namespace

TEST_P(EncodeRoundTripTest, EveryKindOfTextComesBackByteForByte) {
  for (const Sample& sample : kSamples) ExpectBothReadersReturn(sample.text, sample.name);
}

TEST_P(EncodeRoundTripTest, LongestAcceptedTextRoundTripsAndOneMoreByteIsRefused) {
  // Only lower-case letters: no digit or capital run that a denser mode could pack.
  std::string longest;
  while (longest.size() < 2953) longest += static_cast<char>('a' + longest.size() % 26);
  ExpectBothReadersReturn(longest, "2953 bytes");
  Encoders encoders;
  CSubDlgEncodeBaseCalcAusdehnungFest calc(1, 1);
  EXPECT_EQ(GetEncodedBitmap(CString(longest + "x"), encoders.For(GetParam()), calc, 0, 0xFFFFFF), nullptr);
  EXPECT_EQ(GetEncodedBitmap(CString(""), encoders.For(GetParam()), calc, 0, 0xFFFFFF), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BothBackEnds, EncodeRoundTripTest, ::testing::Values(Backend::QREncode, Backend::ZInt),
                         [](const auto& info) { return info.param == Backend::QREncode ? "QREncode" : "ZInt"; });
