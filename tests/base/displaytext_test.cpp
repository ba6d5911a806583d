#include "base/displaytext.h"

#include <gtest/gtest.h>

namespace plotvue {
namespace {

TEST(DisplayText, CodePage437ToUtf8) {
  EXPECT_EQ(DisplayText("Gr\x81\xe1" "e \x82 \x8a \xf8"), "Grüße é è °");
  EXPECT_EQ(DisplayText("F\x81r \x8e\x99\x9a"), "Für ÄÖÜ");
  EXPECT_EQ(DisplayText("plain"), "plain");
  EXPECT_EQ(DisplayText(std::string(254, 'a')), std::string(254, 'a'));
  // 255 characters or more give an empty text.
  EXPECT_EQ(DisplayText(std::string(255, 'a')), "");
  EXPECT_EQ(Cp437ToUtf8(0xDB), "█");
}

}  // namespace
}  // namespace plotvue
