#include <gtest/gtest.h>

#include "text/text.h"

TEST(Smoke, TextFromBytesStopsAtZero) {
  EXPECT_EQ(textFromBytes(Bytes{'a', 0, 'b'}), "a");
}
