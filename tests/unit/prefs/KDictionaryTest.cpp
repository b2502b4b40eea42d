// Order, lookups, copies and the stored form of the dictionary.

#include "PrefsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

using folivox::test::Load;
using folivox::test::StoredBytes;
using folivox::test::Texts;

TEST(KDictionary, SettingAnExistingKeyMovesItToTheEndWithTheCountUnchanged) {
  KDictionary dictionary;
  for (const char* key : {"a:", "b:", "c:"})
    dictionary.Set(key, "old");
  dictionary.Set("a:", "new");
  EXPECT_EQ(dictionary.count(), 3);
  EXPECT_EQ(dictionary.Keys(), Texts({"b:", "c:", "a:"}));
  EXPECT_EQ(dictionary.Values(), Texts({"old", "old", "new"}));
  ASSERT_NE(dictionary.Find("a:"), nullptr);
  EXPECT_EQ(*dictionary.Find("a:"), PMString("new"));
}

TEST(KDictionary, ManyKeysSetAgainKeepTheOrderOfTheirLastSetting) {
  // Against plain sequences that close up on every change: the places that setting a key
  // again leaves behind are reclaimed now and then, and must never show or misplace a pair.
  KDictionary dictionary;
  std::vector<PMString> keys;
  std::vector<PMString> values;
  for (int round = 0; round < 400; ++round) {
    const PMString key(("k" + std::to_string(round * 7 % 23) + ":").c_str());
    const PMString value(std::to_string(round).c_str());
    dictionary.Set(key, value);
    const auto old = std::find(keys.begin(), keys.end(), key);
    if (old != keys.end()) {
      values.erase(values.begin() + (old - keys.begin()));
      keys.erase(old);
    }
    keys.push_back(key);
    values.push_back(value);
    ASSERT_EQ(dictionary.Keys(), keys) << round;
    ASSERT_EQ(dictionary.Values(), values) << round;
  }
  const KDictionary copy(dictionary);
  dictionary.Set("k0:", "new");
  dictionary.Set("k0:", "last");
  for (std::size_t i = 0; i < keys.size(); ++i) {
    ASSERT_NE(copy.Find(keys[i]), nullptr) << i;
    EXPECT_EQ(*copy.Find(keys[i]), values[i]) << i;
  }
  EXPECT_EQ(dictionary.Keys().back(), PMString("k0:"));
  EXPECT_EQ(*dictionary.Find("k0:"), PMString("last"));
  EXPECT_EQ(dictionary.count(), 23);
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
  }
  *copy.Find("b:") = PMString("through a lookup");
  EXPECT_EQ(*assigned.Find("b:"), PMString("2"));
}

TEST(KDictionaryStream, SavedPairsLoadInTheSameOrder) {
  KDictionary saved;
  saved.Set("FolivoHTTP:", "http://example.org/config.xml");
  saved.Set("Zażółć:", "gęślą jaźń");
  saved.Set("FolivoHTTP:", "http://example.org/other.xml");
  KDictionary loaded;
  EXPECT_TRUE(Load(loaded, folivox::test::Save(saved)));
  std::vector<std::string> pairs;
  for (const auto& [key, value] : loaded)
    pairs.push_back(key.GetUTF8String() + "=" + value.GetUTF8String());
  EXPECT_EQ(pairs, (std::vector<std::string>{"Zażółć:=gęślą jaźń",
                                             "FolivoHTTP:=http://example.org/other.xml"}));
}

TEST(KDictionaryStream, ARepeatedKeyKeepsItsLastValueAndLastPosition) {
  KDictionary loaded;
  EXPECT_TRUE(
      Load(loaded, StoredBytes().Int32(3).Pair("a:", "1").Pair("b:", "2").Pair("a:", "3").Bytes()));
  EXPECT_EQ(loaded.Keys(), Texts({"b:", "a:"}));
  EXPECT_EQ(loaded.Values(), Texts({"2", "3"}));
}

TEST(KDictionaryStream, ACountOfZeroOrLessLoadsNothingAndIsNoDamage) {
  for (std::int32_t count : {0, -1, -2147483647 - 1}) {
    KDictionary loaded;
    testing::internal::CaptureStdout();
    // The pair after a non-positive count is never read.
    EXPECT_TRUE(Load(loaded, StoredBytes().Int32(count).Pair("a:", "1").Bytes())) << count;
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << count;
    EXPECT_EQ(loaded.count(), 0) << count;
  }
}

} // namespace
