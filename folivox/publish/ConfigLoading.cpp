#include "base/Alerts.h"
#include "base/Trace.h"
#include "publish/ConfigParser.h"
#include "publish/FolivoActionComponent.h"
#include "publish/PreviewVariants.h"
#include "publish/WorkingFolder.h"

#include <layra/StreamUtil.h>

#include <optional>

namespace {

InterfacePtr<IPMStream> OpenConfigurationFile() {
  const std::optional<IDFile> file = MakeFileInFolder(
      GetWorkingFolder(), PMString(kConfigurationFileName, PMString::kDontTranslateDuringCall));
  if (!file)
    return InterfacePtr<IPMStream>();
  return InterfacePtr<IPMStream>(
      StreamUtil::CreateFileStreamRead(*file, kOpenIn, kAnyFileType, kAnyFileType));
}

} // namespace

void FolivoActionComponent::LoadConfiguration() {
  // A reload follows a change of address: nothing of the previous file may linger.
  fConfiguration.reset();
  fPreviewVariants.clear();
  const InterfacePtr<IPMStream> stream = OpenConfigurationFile();
  if (!stream) {
    folivox::Trace("Could not create read stream for reading xml config file. Cannot continue.\n");
    folivox::ShowReport("0x122500kCURLDidNotDownloadXMLFile", kWarningIcon);
    folivox::ShowReport("0x122500", kWarningIcon);
    return;
  }
  fConfiguration = ParseConfigXML(stream);
  if (!fConfiguration) {
    folivox::Trace("Could not parse config file.\n");
    folivox::ShowReport("0x122500", kWarningIcon);
    return;
  }
  fPreviewVariants = ReadPreviewVariants(*fConfiguration);
}
