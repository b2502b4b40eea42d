// Damaged stored preferences: nothing crashes, nothing is allocated on the
// strength of a forged count, the store starts empty, and the host keeps the
// damaged file aside instead of overwriting it.

#include "AllocationProbe.h"
#include "PreferenceHost.h"
#include "PrefsTestSupport.h"
#include "TempHome.h"
#include "WholeFile.h"

#include <gtest/gtest.h>

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

// The host's database file, intact as a file, holding only the workspace with these bytes
// as the data of its store.
std::string WorkspaceFileWithStore(const std::vector<unsigned char>& store) {
  std::string file = "LYDB";
  auto word = [&file](std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      file += static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  for (std::uint32_t value : {1u, 1u, 1u, 1u, kWorkspaceBoss.Get(), 1u})
    word(value); // version, root, one object: UID 1 of the workspace class with one part
  word(kCommonPreferenceDataImpl.Get());
  word(static_cast<std::uint32_t>(store.size()));
  file.append(store.begin(), store.end());
  word(Crc32(file));
  return file;
}

TEST(DamagedWorkspaceStore, IsSetAsideUntouchedAndTheHostStartsWithAnEmptyStore) {
  folivox::test::TempHome home;
  const std::filesystem::path folder = home.configDir() / "layra";
  const std::string file = WorkspaceFileWithStore(
      StoredBytes().Int32(1).Int32(0x7FFFFFFF).Pair("FolivoHTTP:", "http://a").Bytes());
  ASSERT_TRUE(folivox::test::WriteWholeFile(
      layra::Host(layra::HostOptions{folder, {}, 1, layra::AlertAnswer::Default}).WorkspaceFile(),
      file));

  testing::internal::CaptureStdout();
  folivox::test::PreferenceHost host(folder);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), kDamaged);
  const std::filesystem::path setAside = host.Host().SetAsideWorkspace();
  ASSERT_FALSE(setAside.empty());
  EXPECT_EQ(folivox::test::ReadWholeFile(setAside), file);
  EXPECT_TRUE(host.StoredKeys().empty());

  host.WorkspaceStore()->SetValue("FolivoHTTP", "http://b");
  ASSERT_TRUE(host.Host().Shutdown());
  EXPECT_EQ(folivox::test::ReadWholeFile(setAside), file);
}

} // namespace
