#include "publish/AlertText.h"

#include <gtest/gtest.h>

namespace {

// Without the plug-in's string tables a key is its own text, which lets a test choose it.
std::string Formatted(const char* key, std::vector<PMString> texts) {
  return FormatAlertText(PMString(key), texts).GetUTF8String();
}

TEST(AlertTextTest, FillsPlaceholdersInOrder) {
  EXPECT_EQ(Formatted("file \"%s\" on %s.", {PMString("a.xml"), PMString("ftp")}),
            "file \"a.xml\" on ftp.");
  EXPECT_EQ(Formatted("%s%s|%s", {PMString("1"), PMString("2")}), "12|");
  EXPECT_EQ(Formatted("no placeholder", {PMString("unused")}), "no placeholder");
  EXPECT_EQ(Formatted("ends in %s", {}), "ends in ");
}

TEST(AlertTextTest, LeavesPlaceholdersInInsertedTextAlone) {
  EXPECT_EQ(Formatted("[%s] [%s]", {PMString("50%s"), PMString("x")}), "[50%s] [x]");
  EXPECT_EQ(Formatted("%s", {PMString("%s%s")}), "%s%s");
}

} // namespace
