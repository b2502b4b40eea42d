// Damaged stored preferences: nothing crashes, nothing is allocated on the
// strength of a forged count, the store starts empty, and the host keeps the
// damaged file aside instead of overwriting it, whichever of its records is damaged.

#include "AllocationProbe.h"
#include "PreferenceHost.h"
#include "PrefsTestSupport.h"
#include "TempHome.h"
#include "WholeFile.h"

#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

namespace {

using folivox::test::StoredBytes;

constexpr std::size_t kSmallAllocation = 64 * 1024;
const std::string kDamaged =
    "KDictionary::ReadWrite: stored preferences are damaged; starting with none.\n";

struct DamagedCase {
  const char* name;
  std::vector<unsigned char> bytes;
  friend void PrintTo(const DamagedCase& damaged, std::ostream* out) { *out << damaged.name; }
};

std::vector<unsigned char> CutShort() {
  std::vector<unsigned char> bytes = StoredBytes().Int32(2).Pair("a:", "1").Pair("b:", "2").Bytes();
  bytes.resize(bytes.size() - 3);
  return bytes;
}

class DamagedDictionary : public testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedDictionary, LoadsEmptyWithOneLineAndOnlySmallAllocations) {
  testing::internal::CaptureStdout();
  folivox::test::ResetLargestAllocation();
  KDictionary loaded;
  const bool good = folivox::test::Load(loaded, GetParam().bytes);
  const std::size_t largest = folivox::test::LargestAllocation();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kDamaged);
  EXPECT_FALSE(good);
  EXPECT_EQ(loaded.count(), 0);
  EXPECT_LT(largest, kSmallAllocation);
}

INSTANTIATE_TEST_SUITE_P(
    Streams, DamagedDictionary,
    testing::Values(
        DamagedCase{"Empty", {}},
        DamagedCase{"HugePairCount", StoredBytes().Int32(0x7FFFFFFF).Pair("a:", "1").Bytes()},
        DamagedCase{"NegativeTextLength", StoredBytes().Int32(1).Int32(-5).Bytes()},
        DamagedCase{"HugeTextLength", StoredBytes().Int32(1).Int32(0x7FFFFFFF).Text("abc").Bytes()},
        DamagedCase{"MissingValue", StoredBytes().Int32(1).Text("a:").Bytes()},
        DamagedCase{"CutShort", CutShort()}),
    [](const testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit)
      crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return crc ^ 0xFFFFFFFFu;
}

struct StoredRecord {
  std::uint32_t uid;
  std::vector<unsigned char> store;
  std::optional<std::uint32_t> length{}; // what the record claims, when not the truth
};

// The host's database file holding these workspace objects, each with these bytes as the data
// of its store; `objects` may claim more objects than follow. The checksum is right unless the
// file is changed afterwards.
std::string WorkspaceFile(const std::vector<StoredRecord>& records, std::uint32_t objects = 0) {
  std::string file = "LYDB";
  auto word = [&file](std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      file += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  word(1); // version
  word(1); // root
  word(objects ? objects : static_cast<std::uint32_t>(records.size()));
  for (const StoredRecord& record : records) {
    // The object, its class, one implementation: the store, and the length of its data.
    for (std::uint32_t value :
         {record.uid, kWorkspaceBoss.Get(), 1u, kCommonPreferenceDataImpl.Get(),
          record.length.value_or(record.store.size())})
      word(value);
    file.append(record.store.begin(), record.store.end());
  }
  word(Crc32(file));
  return file;
}

std::vector<unsigned char> Store(std::vector<unsigned char> pairs) {
  std::vector<unsigned char> store = StoredBytes().Int32(1).Bytes(); // the store's marker
  store.insert(store.end(), pairs.begin(), pairs.end());
  return store;
}

const StoredRecord kIntact{1,
                           Store(StoredBytes().Int32(1).Pair("FolivoHTTP:", "http://a").Bytes())};

std::string Flipped(std::string file, std::size_t at) {
  file[at] = static_cast<char>(file[at] ^ 0x20);
  return file;
}

struct DamagedFile {
  const char* name;
  std::string bytes;
  std::string trace;
  friend void PrintTo(const DamagedFile& damaged, std::ostream* out) { *out << damaged.name; }
};

class DamagedWorkspaceStore : public testing::TestWithParam<DamagedFile> {};

// Whatever record is damaged, nothing of the file is kept in use: a store read in part, or
// read whole beside a damaged one, would be written back as the user's preferences.
TEST_P(DamagedWorkspaceStore, IsSetAsideUntouchedAndTheHostStartsWithNothingOfIt) {
  folivox::test::TempHome home;
  const std::filesystem::path folder = home.configDir() / "layra";
  const std::string& file = GetParam().bytes;
  ASSERT_TRUE(folivox::test::WriteWholeFile(
      layra::Host::Create(layra::HostOptions{folder, {}, 1, layra::AlertAnswer::Default})
          .value()
          ->WorkspaceFile(),
      file));

  testing::internal::CaptureStdout();
  folivox::test::PreferenceHost host(folder);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), GetParam().trace);
  const std::filesystem::path setAside = host.Host().SetAsideWorkspace();
  ASSERT_FALSE(setAside.empty());
  EXPECT_EQ(folivox::test::ReadWholeFile(setAside), file);
  EXPECT_TRUE(host.StoredKeys().empty());
  EXPECT_EQ(host.Defaults()->GetClass(2), kInvalidClass);

  host.WorkspaceStore()->SetValue("FolivoHTTP", "http://b");
  ASSERT_TRUE(host.Host().Shutdown());
  EXPECT_EQ(folivox::test::ReadWholeFile(setAside), file);
}

const std::string kWhole = WorkspaceFile({kIntact, {2, kIntact.store}});

INSTANTIATE_TEST_SUITE_P(
    Records, DamagedWorkspaceStore,
    testing::Values(
        DamagedFile{"StoreCutShort", WorkspaceFile({kIntact, {2, Store(CutShort())}}), kDamaged},
        DamagedFile{"StoreWithAForgedLength",
                    WorkspaceFile({kIntact,
                                   {2, Store(StoredBytes()
                                                 .Int32(1)
                                                 .Int32(0x7FFFFFFF)
                                                 .Pair("FolivoHTTP:", "http://a")
                                                 .Bytes())}}),
                    kDamaged},
        DamagedFile{"ImplementationRecordCutShort",
                    WorkspaceFile({kIntact, {2, kIntact.store, kIntact.store.size() + 1}}), ""},
        DamagedFile{"ObjectRecordMissing", WorkspaceFile({kIntact}, 2), ""},
        DamagedFile{"HeaderCutShort", kWhole.substr(0, 12), ""},
        DamagedFile{"FileCutShort", kWhole.substr(0, kWhole.size() - 5), ""},
        DamagedFile{"ByteChanged", Flipped(kWhole, kWhole.size() - 10), ""}),
    [](const testing::TestParamInfo<DamagedFile>& info) { return std::string(info.param.name); });

} // namespace
