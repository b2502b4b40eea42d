#include "net/UpdateAnswer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UpdateAnswerTest, NoRecordsOnlyWhenTheAnswerBeginsWithBrak) {
  EXPECT_TRUE(IsNoRecordsAnswer("brak"));
  EXPECT_TRUE(IsNoRecordsAnswer("brak rekordow\r\n$URL=http://a/1\r\n"));
  EXPECT_FALSE(IsNoRecordsAnswer(" brak"));
  EXPECT_FALSE(IsNoRecordsAnswer("bra"));
  EXPECT_FALSE(IsNoRecordsAnswer("Brak"));
}

TEST(UpdateAnswerTest, LastNonEmptyRecordIsTheAddress) {
  EXPECT_EQ(FindUpdateAddress("Nowa wersja\r\n$URL=http://a/1\r\n"), "http://a/1");
  EXPECT_EQ(FindUpdateAddress("$URL=http://a/1\r\n$URL=http://b/2\r\n"), "http://b/2");
  EXPECT_EQ(FindUpdateAddress("$URL=http://a/1\r\n$URL=http://b/2"), "http://b/2");
  EXPECT_EQ(FindUpdateAddress("$URL=http://a/1\r$URL=\r\n"), "http://a/1");
  EXPECT_EQ(FindUpdateAddress("$URL=$URL=http://a/1\r"), "$URL=http://a/1");
}

TEST(UpdateAnswerTest, NoAddressWithoutACompleteMarker) {
  EXPECT_EQ(FindUpdateAddress(""), std::nullopt);
  EXPECT_EQ(FindUpdateAddress("$URL="), std::nullopt);
  EXPECT_EQ(FindUpdateAddress("text $UR"), std::nullopt);
  EXPECT_EQ(FindUpdateAddress("URL=http://a/1\r"), std::nullopt);
  EXPECT_EQ(FindUpdateAddress("$url=http://a/1\r"), std::nullopt);
}

int gPauses = 0;

TEST(UpdateAnswerTest, PausesAtMostOncePerPosition) {
  const std::string answer = std::string(1000, '.') + "$URL=http://a/1\r\n" + "tail";
  gPauses = 0;
  EXPECT_EQ(FindUpdateAddress(answer, [] { ++gPauses; }), "http://a/1");
  EXPECT_GT(gPauses, 1000);
  EXPECT_LE(gPauses, static_cast<int>(answer.size()));
}

} // namespace
