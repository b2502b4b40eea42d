#include <platform/Identity.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <uuid/uuid.h>
#include <vector>

namespace platform {
namespace {

constexpr std::size_t kUuidNodeOffset = 10;
constexpr std::size_t kFirstEntryBufferSize = 1024;
constexpr std::size_t kLargestEntryBufferSize = 1024 * 1024;

std::optional<std::string> UserDatabaseName() {
  // Entries with long comment fields need more room; the cap keeps a corrupt database from
  // making us allocate without limit.
  for (std::size_t size = kFirstEntryBufferSize; size <= kLargestEntryBufferSize; size *= 2) {
    std::vector<char> buffer(size);
    passwd entry{};
    passwd* found = nullptr;
    const int error = getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found);
    if (error == ERANGE) {
      continue;
    }
    if (error != 0 || found == nullptr || found->pw_name == nullptr || found->pw_name[0] == '\0') {
      return std::nullopt;
    }
    return std::string(found->pw_name);
  }
  return std::nullopt;
}

std::optional<std::string> EnvironmentUserName() {
  const char* name = std::getenv("USER");
  if (name == nullptr || name[0] == '\0') {
    return std::nullopt;
  }
  return std::string(name);
}

} // namespace

HardwareAddress SequentialUuidNode() {
  uuid_t uuid;
  uuid_generate_time(uuid);
  HardwareAddress node{};
  std::copy_n(uuid + kUuidNodeOffset, node.size(), node.begin());
  return node;
}

std::optional<std::string> LoginUserName() {
  if (auto name = UserDatabaseName()) {
    return name;
  }
  return EnvironmentUserName();
}

} // namespace platform
