// Order, lookups, copies and the stored form of the dictionary.

#include "StoredBytes.h"
#include "TestText.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using folivox::test::Load;
using folivox::test::StoredBytes;
using folivox::test::Texts;

TEST(KDictionary, SettingAnExistingKeyMovesItToTheEndWithTheCountUnchanged) {
  KDictionary dictionary;
  dictionary.Set("a:", "1");
  dictionary.Set("b:", "2");
  dictionary.Set("c:", "3");
  dictionary.Set("a:", "4");
  EXPECT_EQ(dictionary.count(), 3);
  EXPECT_EQ(dictionary.Keys(), Texts({"b:", "c:", "a:"}));
  EXPECT_EQ(dictionary.Values(), Texts({"2", "3", "4"}));
  ASSERT_NE(dictionary.Find("a:"), nullptr);
  EXPECT_EQ(*dictionary.Find("a:"), PMString("4"));
}

TEST(KDictionary, KeysThatDifferInCaseAreDifferentKeys) {
  KDictionary dictionary;
  dictionary.Set("Status:", "true");
  dictionary.Set("status:", "false");
  EXPECT_EQ(dictionary.count(), 2);
  ASSERT_NE(dictionary.Find("status:"), nullptr);
  EXPECT_EQ(*dictionary.Find("status:"), PMString("false"));
  EXPECT_EQ(dictionary.Find("STATUS:"), nullptr);
}

TEST(KDictionary, ACopyKeepsWorkingAfterTheOriginalChangesAndGoes) {
  auto original = std::make_unique<KDictionary>();
  original->Set("a:", "1");
  original->Set("b:", "2");
  KDictionary copy(*original);
  KDictionary assigned;
  assigned = *original;
  original->Set("a:", "changed");
  original.reset();
  for (KDictionary* dictionary : {&copy, &assigned}) {
    ASSERT_NE(dictionary->Find("a:"), nullptr);
    EXPECT_EQ(*dictionary->Find("a:"), PMString("1"));
    dictionary->Set("a:", "3");
    EXPECT_EQ(dictionary->Keys(), Texts({"b:", "a:"}));
    EXPECT_EQ(dictionary->count(), 2);
  }
}

TEST(KDictionaryStream, SavedPairsLoadInTheSameOrder) {
  KDictionary saved;
  saved.Set("FolivoHTTP:", "http://example.org/config.xml");
  saved.Set("Zażółć:", "gęślą jaźń");
  saved.Set("FolivoHTTP:", "http://example.org/other.xml");
  auto [loaded, good] = Load(folivox::test::Save(saved));
  EXPECT_TRUE(good);
  EXPECT_EQ(loaded.Keys(), saved.Keys());
  EXPECT_EQ(loaded.Values(), saved.Values());
}

TEST(KDictionaryStream, ARepeatedKeyKeepsItsLastValueAndLastPosition) {
  auto [loaded, good] =
      Load(StoredBytes().Int32(3).Pair("a:", "1").Pair("b:", "2").Pair("a:", "3").Bytes());
  EXPECT_TRUE(good);
  EXPECT_EQ(loaded.Keys(), Texts({"b:", "a:"}));
  EXPECT_EQ(loaded.Values(), Texts({"2", "3"}));
}

TEST(KDictionaryStream, ACountOfZeroOrLessLoadsNothingAndIsNoDamage) {
  for (std::int32_t count : {0, -1, -2147483647 - 1}) {
    testing::internal::CaptureStdout();
    // The pair after a non-positive count is never read.
    auto [loaded, good] = Load(StoredBytes().Int32(count).Pair("a:", "1").Bytes());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << count;
    EXPECT_TRUE(good) << count;
    EXPECT_EQ(loaded.count(), 0) << count;
  }
}

TEST(KDictionaryStream, LoadingReplacesWhatWasThere) {
  KDictionary dictionary;
  dictionary.Set("old:", "1");
  InterfacePtr<IPMStream> stream(
      StreamUtil::CreateMemoryStreamRead(StoredBytes().Int32(1).Pair("new:", "2").Bytes()));
  dictionary.ReadWrite(stream);
  EXPECT_EQ(dictionary.Keys(), Texts({"new:"}));
}

} // namespace
