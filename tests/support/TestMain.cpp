// Every test program reads and writes settings in a folder of its own, never the user's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

int main(int argc, char** argv) {
  char folder[] = "/tmp/codewerk-test-config-XXXXXX";
  if (!mkdtemp(folder)) return 2;
  setenv("XDG_CONFIG_HOME", folder, 1);
  ::testing::InitGoogleTest(&argc, argv);
  const int rc = RUN_ALL_TESTS();
  std::filesystem::remove_all(folder);
  return rc;
}
