// Every test program reads and writes settings in a folder of its own, never the user's.
#include "TestConfigFolder.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  if (!UseTemporaryConfigFolder()) return 2;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
