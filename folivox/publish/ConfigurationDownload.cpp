#include "base/Alerts.h"
#include "base/CHandles.h"
#include "base/FolivoxIDs.h"
#include "base/FrontDocument.h"
#include "base/PanelWidgets.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "prefs/PreferenceAccess.h"
#include "publish/AlertText.h"
#include "publish/ConfigParser.h"
#include "publish/ConfigTransfer.h"
#include "publish/ConfigTree.h"
#include "publish/ConfigurationAddress.h"
#include "publish/FolivoActionComponent.h"
#include "publish/UrlPassword.h"
#include "publish/WorkingFolder.h"

#include <layra/FileUtils.h>
#include <layra/IDataBase.h>
#include <layra/IPanelMgr.h>

#include <platform/Files.h>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

constexpr const char kAddressPreference[] = "FolivoHTTP";

// The page panel shows what the configuration is for, so it comes up with the download.
void ShowPagePanel() {
  folivox::PanelLink missing = folivox::PanelLink::kNone;
  InterfacePtr<IPanelMgr> panels(folivox::QueryPanelManager(missing));
  if (!panels) {
    folivox::ShowPlainReport("Could not show the panel", kErrorIcon);
    return;
  }
  if (panels->IsPanelWithWidgetIDShown(kFolivoPanelWidgetID))
    return;
  panels->ShowPanelByWidgetID(kFolivoPanelWidgetID, false);
  // A palette that a plain request leaves hidden, in a closed group say, is forced out.
  if (!panels->IsPanelWithWidgetIDShown(kFolivoPanelWidgetID))
    panels->ShowPanelByWidgetID(kFolivoPanelWidgetID, true);
}

// The stored address; null, after an alert, when there is none. An empty one goes to libcurl
// like any other, which refuses it, so an earlier copy is still offered.
std::unique_ptr<PMString> ReadConfigurationAddress() {
  InterfacePtr<ICommonPreferenceData> store(GetPrefrenceData());
  std::unique_ptr<PMString> address =
      store ? store->GetValue(PMString(kAddressPreference, PMString::kDontTranslateDuringCall))
            : nullptr;
  if (address)
    return address;
  folivox::ShowReport("0x122500kCouldNotGetPreferencesFileAddressKey", kWarningIcon);
  return nullptr;
}

// Whether the answer is a configuration: XML whose root names the FTP destination. A portal's
// login page served as XHTML is well-formed XML too, and it, an empty answer or any other
// document must not replace the last good copy. The root's name does not matter.
bool HoldsConfiguration(const std::string& answer) {
  const std::unique_ptr<ConfigNode> root = ParseConfigText(answer);
  return root && FindChild(*root, WideString("GRABURL")) != nullptr;
}

// libcurl's result; nullopt when the download copy could not be written.
std::optional<CURLcode> Download(const PMString& address, const IDFile& target) {
  const CURLcode initialised = curl_global_init(CURL_GLOBAL_ALL);
  if (initialised != CURLE_OK) {
    folivox::ShowReport("0x122500kCURLInitFailed", kWarningIcon);
    return initialised;
  }
  const ConfigurationAnswer answer = FetchConfiguration(address.GetUTF8String());
  if (answer.result != CURLE_OK)
    return answer.result;
  if (!HoldsConfiguration(answer.bytes))
    return CURLE_WEIRD_SERVER_REPLY;
  // The copy carries the FTP login. It is made private under a name of its own and renamed
  // into place, so a link planted at its name is replaced, never written through.
  if (!platform::ReplaceDurably(target.GetPath().string(), answer.bytes)) {
    folivox::Trace("Nie mozna bylo otworzyc pliku \"%s\" do zapisu.\n", target.GetPath().c_str());
    return std::nullopt;
  }
  return CURLE_OK;
}

// After a failed download: whether the user takes the configuration of an earlier run.
bool AcceptPreviousCopy(CURLcode failure, const PMString& address, const IDFile& download,
                        const IDFile& configuration) {
  const bool previousExists =
      FileHandle(std::fopen(configuration.GetPath().c_str(), "rb")) != nullptr;
  if (previousExists) {
    // The address is shown as the preferences panel shows it, password masked.
    return folivox::AskYesNo(
        FormatAlertText(PMString("0x122500kCURLInitFailedButFileExistFromPreviousIntance"),
                        {MaskUrlPassword(address)}),
        kQuestionIcon);
  }
  PMString report =
      FormatAlertText(PMString("0x122500kCURLInitFailed"), {FileUtils::IDFileToPMString(download)});
  report.Append(" Error: ");
  report.Append(curl_easy_strerror(failure));
  folivox::ShowReport(report, kWarningIcon);
  return false;
}

// Whether "FolivoPref.xml" now holds a configuration to use: freshly downloaded, or one of an
// earlier run that the user accepted.
bool FetchConfigurationFile() {
  const PMString folder = GetWorkingFolder();
  const std::optional<IDFile> download = MakeFileInFolder(
      folder, PMString(kConfigurationDownloadName, PMString::kDontTranslateDuringCall));
  const std::optional<IDFile> configuration = MakeFileInFolder(
      folder, PMString(kConfigurationFileName, PMString::kDontTranslateDuringCall));
  const std::unique_ptr<PMString> address = ReadConfigurationAddress();
  if (!address)
    return false;
  if (!download || !configuration) {
    folivox::Trace("Nie mozna bylo otworzyc pliku \"%s\" do zapisu.\n", kConfigurationDownloadName);
    return false;
  }
  const std::optional<CURLcode> result = Download(*address, *download);
  if (!result)
    return false;
  if (*result != CURLE_OK)
    return AcceptPreviousCopy(*result, *address, *download, *configuration);
  // The copy replaces the previous file in one step, so it never holds half a download.
  if (FileUtils::CopyFile(*download, *configuration))
    return true;
  std::fprintf(stderr, "Could not copy \"%s\" over \"%s\".\n", download->GetPath().c_str(),
               configuration->GetPath().c_str());
  return false;
}

} // namespace

bool FolivoActionComponent::AcquireConfiguration() {
  if (fAcquired)
    return true;
  if (fAcquisitionStarted)
    return false;
  fAcquisitionStarted = true;
  ShowPagePanel();
  fAcquired = FetchConfigurationFile();
  if (!fAcquired) {
    folivox::ShowReport("0x122500kCURLDidNotDownloadXMLFile", kErrorIcon);
    return false;
  }
  LoadConfiguration();
  return true;
}

bool FolivoActionComponent::ReloadConfiguration() {
  fAcquired = false;
  fAcquisitionStarted = false;
  return AcquireConfiguration();
}

void FolivoActionComponent::OnPreferencesClosed() {
  if (!gConfigurationAddressChanged)
    return;
  if (!ReloadConfiguration())
    return;
  const InterfacePtr<IDocument> front = QueryFrontDocument();
  // Without a document the change stays noted, so the next closing downloads again.
  if (!front)
    return;
  if (gFolivoTreeInformator) {
    const UIDRef document = GetUIDRef(front);
    gFolivoTreeInformator->LoadPageStatuses(&document);
  }
  gConfigurationAddressChanged = false;
}
