// The implementation table and the update offer, on the plug-in's own code.

#include "frame/FolivoStartStopObserverImpl.h"
#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "net/UpdateCheck.h"

#include "TempDir.h"
#include "WholeFile.h"

#include <layra/host/Alerts.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <unistd.h>

namespace {

TEST(ImplementationTable, HoldsEveryImplementationOnceAndPersistsOnlyTheStores) {
  std::set<std::uint32_t> ids;
  std::set<std::uint32_t> persistent;
  for (auto entry = folivox::ImplementationTableHead(); entry; entry = entry->next) {
    EXPECT_TRUE(ids.insert(entry->record.id.Get()).second) << entry->record.id.Get();
    EXPECT_TRUE(entry->record.create && entry->record.destroy && entry->record.size);
    EXPECT_EQ(entry->record.reserved, nullptr);
    EXPECT_EQ(entry->record.reservedFlags, 0);
    if (entry->record.persist)
      persistent.insert(entry->record.id.Get());
  }
  for (std::uint32_t id : {0x122500u, 0x122503u, 0x122504u, 0x12250fu})
    EXPECT_TRUE(ids.count(id)) << std::hex << id;
  for (std::uint32_t id : persistent)
    EXPECT_TRUE(id == 0x122505u || id == 0x122511u) << std::hex << id;
}

class UpdateOffer : public testing::Test {
protected:
  void SetUp() override {
    // A stand-in browser opener first in PATH records what it was asked to open.
    folivox::test::WriteWholeFile(
        fBin.path() / "xdg-open",
        "#!/bin/sh\nprintf '%s\\n' \"$1\" >> \"$(dirname \"$0\")/opened\"\n");
    std::filesystem::permissions(fBin.path() / "xdg-open", std::filesystem::perms::owner_all);
    fOldPath = std::getenv("PATH");
    ::setenv("PATH", (fBin.path().string() + ":" + fOldPath).c_str(), 1);
    std::strcpy(gUpdateUrl, "http://updates.example.invalid/folivox-1.0.3");
  }
  void TearDown() override {
    ::setenv("PATH", fOldPath.c_str(), 1);
    gUpdateUrlReady.store(0);
  }
  // The opener runs on its own; a loaded machine may take long to start it.
  std::string Opened() {
    for (int i = 0; i < 3000 && !std::filesystem::exists(fBin.path() / "opened"); ++i)
      ::usleep(20000);
    return folivox::test::ReadWholeFile(fBin.path() / "opened");
  }

  folivox::test::TempDir fBin;
  std::string fOldPath;
  FolivoStartStopObserverImpl fService{nullptr};
};

TEST_F(UpdateOffer, NothingIsAskedWhileTheWorkerFoundNothing) {
  layra::Alerts::Instance().ClearLog();
  fService.Startup();
  EXPECT_TRUE(layra::Alerts::Instance().Log().empty());
}

TEST_F(UpdateOffer, YesOpensTheAddressNoOpensNothing) {
  std::strcpy(gUpdateUrl, "http://updates.example.invalid/declined");
  gUpdateUrlReady.store(1, std::memory_order_release);
  layra::Alerts::Instance().ClearLog();
  layra::Alerts::Instance().QueueAnswers({2});
  fService.Startup();
  ASSERT_EQ(layra::Alerts::Instance().Log().size(), 1u);
  EXPECT_EQ(layra::Alerts::Instance().Log()[0].message, "0x122500kAutoUpdateKey");
  EXPECT_EQ(layra::Alerts::Instance().Log()[0].buttons, (std::vector<std::string>{"Yes", "No"}));

  // The accepted offer's opener starts after any the declined one could have started, so once
  // it has written, the declined address would be there too.
  std::strcpy(gUpdateUrl, "http://updates.example.invalid/folivox-1.0.3");
  layra::Alerts::Instance().QueueAnswers({1});
  fService.Startup();
  EXPECT_EQ(Opened(), "http://updates.example.invalid/folivox-1.0.3\n");
}

} // namespace
