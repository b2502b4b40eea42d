// Feeds arbitrary bytes to the configuration reader as the configuration file, then reads the
// preview variants and the FTP destination out of whatever tree comes back. The destination's
// decoding must survive a round trip through the encoder.

#include "publish/Base64.h"
#include "publish/ConfigParser.h"
#include "publish/ConfigTree.h"
#include "publish/PreviewVariants.h"

#include <layra/StreamUtil.h>
#include <layra/host/Host.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  // The DOM services are classes of the host; a host that never starts registers them.
  static layra::Host* host = layra::Host::Create(layra::HostOptions{}).value().release();
  (void)host;
  // Every refused file and skipped variant prints a line; at fuzzing speed that would drown
  // libFuzzer's own report, which goes to standard error.
  std::freopen("/dev/null", "w", stdout);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  InterfacePtr<IPMStream> stream(
      StreamUtil::CreateMemoryStreamRead(std::vector<unsigned char>(data, data + size)));
  const std::unique_ptr<ConfigNode> root = ParseConfigXML(stream);
  if (!root)
    return 0;
  for (const PreviewQuality& variant : ReadPreviewVariants(*root)) {
    if (!(variant.xScale > 0 && variant.yScale > 0 && variant.resolution > 0) ||
        variant.jpegQuality < 0 || variant.jpegQuality > 3)
      __builtin_trap();
  }
  const ConfigNode* destination = FindChild(*root, WideString("GRABURL"));
  if (!destination)
    return 0;
  const std::optional<std::string> decoded = Base64Decode(destination->text.ToUTF8());
  if (decoded && Base64Decode(Base64Encode(*decoded)) != decoded)
    __builtin_trap();
  return 0;
}
