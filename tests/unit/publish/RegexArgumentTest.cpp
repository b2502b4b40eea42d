#include "CapturedOutput.h"

#include "publish/RegexArgument.h"

#include <gtest/gtest.h>

namespace {

using folivox::test::CapturedOutput;

const std::string kName = "08_12_05_005-008.lyd";

TEST(RegexArgumentTest, CapturesFromWholeNameOrItsStart) {
  CapturedOutput output;
  std::string out;
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_(\\d\\d)_.*", 2, out), 0);
  EXPECT_EQ(out, "12");
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_", 1, out), 0);
  EXPECT_EQ(out, "08");
  EXPECT_EQ(output.Take(), "");
}

TEST(RegexArgumentTest, MissingGroupFailsAndKeepsOutput) {
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(kName, "\\d\\d_", 1, out), 1);
  EXPECT_EQ(GetRegexArgument(kName, "(\\d\\d)_.*", -1, out), 1);
  EXPECT_EQ(out, "kept");
  EXPECT_EQ(output.Take(), "Could not get argument no 1 from string \"" + kName +
                               "\" (regex = '\\d\\d_.*').\n" +
                               "Could not get argument no -1 from string \"" + kName +
                               "\" (regex = '(\\d\\d)_.*').\n");
}

TEST(RegexArgumentTest, InvalidPatternIsReportedAndFails) {
  CapturedOutput output;
  std::string out = "kept";
  EXPECT_EQ(GetRegexArgument(kName, "(\\d", 1, out), 1);
  EXPECT_EQ(out, "kept");
  const std::string printed = output.Take();
  EXPECT_EQ(printed.rfind("Exception has occured for regex \"(\\d\" in string \"" + kName +
                              "\". Reason: ",
                          0),
            0u)
      << printed;
  EXPECT_NE(printed.find("\nCould not get argument no 1 from string \"" + kName +
                         "\" (regex = '(\\d').\n"),
            std::string::npos)
      << printed;
}

TEST(RegexArgumentTest, CatastrophicPatternFailsQuickly) {
  // The matcher's own complexity limit stops it, whatever the machine's load: the exception
  // is the proof.
  CapturedOutput output;
  std::string out;
  EXPECT_EQ(GetRegexArgument(std::string(30, 'a'), "(a*)*b", 1, out), 1);
  EXPECT_FALSE(RegexMatchesWhole(std::string(40, 'x'), "(x+x+)+y"));
  EXPECT_NE(output.Take().find("Exception has occured for regex \"(x+x+)+y\""), std::string::npos);
}

} // namespace
