// The one answer of the host API's calls that can fail: a value or why not, and nothing else
// (no failure that reads as success because its text is empty).

#include <layra/host/Result.h>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Result, HoldsTheValueOrWhyNotAndNeverBoth) {
  const struct {
    const char* name;
    layra::Result<std::string> result;
    bool ok;
    const char* valueOr;
    const char* error;
  } cases[] = {
      {"value", std::string("made"), true, "made", ""},
      {"empty value", std::string(), true, "", ""},
      {"failure", layra::Failure{"no such page"}, false, "fallback", "no such page"},
      {"failure without a reason", layra::Failure{}, false, "fallback", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.result.ok(), c.ok) << c.name;
    EXPECT_EQ(static_cast<bool>(c.result), c.ok) << c.name;
    EXPECT_EQ(c.result.value_or("fallback"), c.valueOr) << c.name;
    EXPECT_EQ(c.result.error(), c.error) << c.name;
  }
  const layra::Result<void> done, refused = layra::Failure{"the document is not open"},
                                  silent = layra::Failure{};
  EXPECT_TRUE(done);
  EXPECT_EQ(done.error(), "");
  EXPECT_FALSE(refused);
  EXPECT_EQ(refused.error(), "the document is not open");
  EXPECT_FALSE(silent);
}

TEST(Result, HandsOverAValueThatCanOnlyMove) {
  layra::Result<std::unique_ptr<int>> made = std::make_unique<int>(7);
  const std::unique_ptr<int> taken = std::move(made).value();
  ASSERT_TRUE(taken);
  EXPECT_EQ(*taken, 7);
}

TEST(ResultDeathTest, TheValueOfAFailureIsAMistakeThatSaysWhatFailed) {
  const layra::Result<int> failed = layra::Failure{"no host is running"};
  EXPECT_DEATH(static_cast<void>(failed.value()),
               "the value of a failed result was asked for \\(no host is running\\)");
}

} // namespace
