#include "CapturedOutput.h"

#include "publish/RegexArgument.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

const std::string kName = "08_12_05_005-008.indd";

TEST(RegexArgumentTest, CapturesGroupOfWholeMatchSilently) {
  CapturedOutput output;
  std::string out;
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_(\\d\\d)_(\\d\\d)_.*", 2, out), 0);
  EXPECT_EQ(out, "12");
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_.*", 0, out), 0);
  EXPECT_EQ(out, kName);
  EXPECT_EQ(output.Take(), "");
}

TEST(RegexArgumentTest, PatternForStartOfNameIsRetriedWithRestAllowed) {
  std::string out;
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_", 1, out), 0);
  EXPECT_EQ(out, "08");
  EXPECT_EQ(GetRegexArgument(kName, "\\d\\d_\\d\\d_\\d\\d_(\\d+)", 1, out), 0);
  EXPECT_EQ(out, "005");
}

TEST(RegexArgumentTest, MissingGroupFailsAndKeepsOutput) {
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(kName, "\\d\\d_", 1, out), 1);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(output.Take(), "Could not get argument no 1 from string \"08_12_05_005-008.indd\" "
                           "(regex = '\\d\\d_.*').\n");
}

TEST(RegexArgumentTest, NegativeGroupFails) {
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_.*", -1, out), 1);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(output.Take(), "Could not get argument no -1 from string \"08_12_05_005-008.indd\" "
                           "(regex = '(\\d\\d)_.*').\n");
}

TEST(RegexArgumentTest, NameNotStartingLikePatternFails) {
  CapturedOutput output;
  std::string out;
  EXPECT_EQ(GetRegexArgument(kName, "x(\\d\\d)", 1, out), 1);
  EXPECT_EQ(output.Take(), "Could not get argument no 1 from string \"08_12_05_005-008.indd\" "
                           "(regex = 'x(\\d\\d).*').\n");
}

TEST(RegexArgumentTest, InvalidPatternIsReportedAndFails) {
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(kName, "(\\d", 1, out), 1);
  EXPECT_EQ(out, "kept");
  const std::string printed = output.Take();
  EXPECT_EQ(printed.rfind("Exception has occured for regex \"(\\d\" in string "
                          "\"08_12_05_005-008.indd\". Reason: ",
                          0),
            0u)
      << printed;
  EXPECT_NE(printed.find("\nCould not get argument no 1 from string \"08_12_05_005-008.indd\" "
                         "(regex = '(\\d').\n"),
            std::string::npos)
      << printed;
}

TEST(RegexArgumentTest, CatastrophicPatternFailsQuickly) {
  const auto start = std::chrono::steady_clock::now();
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(std::string(30, 'a'), "(a*)*b", 1, out), 1);
  EXPECT_EQ(GetRegexArgument(std::string(40, 'x'), "(x+x+)+y", 1, out), 1);
  EXPECT_EQ(out, "kept");
  EXPECT_NE(output.Take().find("Exception has occured for regex \"(x+x+)+y\""), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(RegexMatchesWholeTest, RequiresWholeSubject) {
  EXPECT_TRUE(RegexMatchesWhole(kName, "\\d\\d_\\d\\d_\\d\\d_\\d{3}-\\d{3}\\.indd"));
  EXPECT_FALSE(RegexMatchesWhole(kName, "\\d\\d_\\d\\d"));
  EXPECT_FALSE(RegexMatchesWhole(kName, "\\d\\d_\\d\\d_\\d\\d_\\d{3}-\\d{3}\\.indd.+"));
}

TEST(RegexMatchesWholeTest, BrokenOrCatastrophicPatternIsReportedAndNeverMatches) {
  const auto start = std::chrono::steady_clock::now();
  CapturedOutput output;
  EXPECT_FALSE(RegexMatchesWhole(kName, "[0-9"));
  EXPECT_FALSE(RegexMatchesWhole(std::string(40, 'x'), "(x+x+)+y"));
  const std::string printed = output.Take();
  EXPECT_EQ(printed.rfind("Exception has occured for regex \"[0-9\"", 0), 0u) << printed;
  EXPECT_NE(printed.find("Exception has occured for regex \"(x+x+)+y\""), std::string::npos);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

} // namespace
