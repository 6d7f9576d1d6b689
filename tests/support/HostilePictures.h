// Picture files made to hurt a reader: bombs of every format, headers claiming huge pictures,
// truncations, loops, thousands of pages, and files that are not files at all.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

struct HostileFile {
  std::string name;
  std::vector<std::uint8_t> bytes;
};

std::vector<HostileFile> MakeHostilePictures();
// A multi-page scan of blank grey pages, each compressed to almost nothing.
std::vector<std::uint8_t> BlankMultiPageTiff(int pages, int side);
// Writes them into folder, with a FIFO, a folder, a link to /dev/zero, an empty file and a sparse
// 4 GB file beside them; returns every path.
std::vector<std::filesystem::path> WriteHostileCorpus(const std::filesystem::path& folder);
