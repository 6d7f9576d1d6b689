// Writes the hostile picture corpus into the folder given, one path per line on standard output.
#include "HostilePictures.h"

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: make_hostile_pictures FOLDER\n";
    return 2;
  }
  for (const auto& path : WriteHostileCorpus(argv[1])) std::cout << path.string() << "\n";
  return 0;
}
