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

TEST(KDictionary, ManyKeysSetAgainKeepTheOrderOfTheirLastSettingInEveryCopy) {
  // Against plain sequences that close up on every change, over enough keys to fill several
  // chunks of pairs and pages of the index. The places that setting a key again leaves behind
  // are reclaimed now and then, and the copy taken a round earlier must not see any of it.
  struct Expected {
    std::vector<PMString> keys;
    std::vector<PMString> values;
    void Set(const PMString& key, const PMString& value) {
      const auto old = std::find(keys.begin(), keys.end(), key);
      if (old != keys.end()) {
        values.erase(values.begin() + (old - keys.begin()));
        keys.erase(old);
      }
      keys.push_back(key);
      values.push_back(value);
    }
  };
  KDictionary dictionary;
  KDictionary previous;
  Expected now;
  Expected before;
  std::uint32_t random = 1;
  for (int round = 0; round < 1500; ++round) {
    random = random * 1103515245u + 12345u;
    const PMString key(("k" + std::to_string(random >> 16 & 511) + ":").c_str());
    const PMString value(std::to_string(round).c_str());
    dictionary.Set(key, value);
    now.Set(key, value);
    ASSERT_EQ(dictionary.Keys(), now.keys) << round;
    ASSERT_EQ(dictionary.Values(), now.values) << round;
    ASSERT_EQ(previous.Keys(), before.keys) << round;
    ASSERT_EQ(previous.Values(), before.values) << round;
    previous = dictionary;
    before = now;
  }
  dictionary.Set("k0:", "new");
  dictionary.Set("k0:", "last");
  for (std::size_t i = 0; i < before.keys.size(); ++i) {
    ASSERT_NE(previous.Find(before.keys[i]), nullptr) << i;
    EXPECT_EQ(*previous.Find(before.keys[i]), before.values[i]) << i;
  }
  EXPECT_EQ(dictionary.Keys().back(), PMString("k0:"));
  EXPECT_EQ(*dictionary.Find("k0:"), PMString("last"));
  EXPECT_EQ(dictionary.count(),
            static_cast<std::int32_t>(before.keys.size()) + (previous.Find("k0:") ? 0 : 1));
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
