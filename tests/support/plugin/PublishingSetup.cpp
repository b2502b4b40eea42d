#include "PublishingSetup.h"

#include "prefs/ICommonPreferenceData.h"
#include "publish/Base64.h"
#include "publish/PendingBatches.h"
#include "publish/RecordsLock.h"
#include "publish/SendHistory.h"

#include <layra/CmdUtils.h>
#include <layra/host/Host.h>

#include <algorithm>

namespace folivox::test {

PublishingSetup::PublishingSetup(FtpTestServerOptions ftp, int locale)
    : fFtp(std::move(ftp)), fLocale(locale) {}

std::string PublishingSetup::ConfigurationXml(const ConfigurationText& configuration) const {
  const std::string grab = configuration.grabUrl.empty()
                               ? fFtp.urlWithLogin() + configuration.folder
                               : configuration.grabUrl;
  const std::string docName = !configuration.docName.empty()
                                  ? configuration.docName
                                  : "  <DOCNAME>\n"
                                    "    <REGEX>\\d\\d_\\d\\d_\\d\\d_\\d+(-\\d+)?\\.lyd</REGEX>\n"
                                    "    <DAY>\\d\\d_\\d\\d_(\\d\\d)</DAY>\n"
                                    "    <MONTH>\\d\\d_(\\d\\d)</MONTH>\n"
                                    "    <MINIYEAR>(\\d\\d)_</MINIYEAR>\n"
                                    "    <PAGE>\\d\\d_\\d\\d_\\d\\d_(\\d+)</PAGE>\n"
                                    "    <XPAGE>\\d\\d_\\d\\d_\\d\\d_\\d+-(\\d+)</XPAGE>\n"
                                    "  </DOCNAME>\n";
  std::string xml = "<?xml version=\"1.0\"?>\n<FOLIVOX>\n" + configuration.variants + docName;
  if (configuration.withGrabUrl)
    xml += "  <GRABURL>" + Base64Encode(grab) + "</GRABURL>\n";
  return xml + "</FOLIVOX>\n";
}

std::unique_ptr<layra::Host> PublishingSetup::MakeHost() {
  auto host = layra::Host::Create(layra::HostOptions{fHome.configDir() / "layra",
                                                     {FOLIVOX_PLUGIN_DIR},
                                                     fLocale,
                                                     layra::AlertAnswer::First})
                  .value();
  host->Start();
  return host;
}

testing::AssertionResult PublishingSetup::Start(const ConfigurationText& configuration) {
  if (auto started = fFtp.Start(); !started)
    return started;
  if (auto started = fHttp.Start(); !started)
    return started;
  if (!fHttp.PutFile("FolivoPref.xml", ConfigurationXml(configuration)))
    return testing::AssertionFailure() << "cannot serve the configuration";
  {
    // The address must be in the preferences before the start-up that downloads it; it is
    // written through the plug-in's preference command, as the preferences panel does.
    auto first = MakeHost();
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(ClassID{0x122504}));
    InterfacePtr<ICommonPreferenceData> data(command, UseDefaultIID());
    if (!data)
      return testing::AssertionFailure() << "the plug-in's preference command is missing";
    data->SetValue(PMString("FolivoHTTP"), PMString(fHttp.url("/FolivoPref.xml")));
    command->SetItemList(UIDList(first->Workspace()));
    if (CmdUtils::ProcessCommand(command) != kSuccess)
      return testing::AssertionFailure() << "the preference command failed";
  }
  layra::Alerts::Instance().ClearLog();
  fHost = MakeHost();
  return testing::AssertionSuccess();
}

UIDRef PublishingSetup::OpenDocument(const std::string& name, int pages) {
  const auto file = fHome.path() / name;
  const UIDRef made = fHost->NewDocument(pages, 612, 792);
  const layra::Result<void> saved = fHost->SaveDocumentAs(made, file);
  fHost->CloseDocument(made);
  if (!saved)
    return UIDRef();
  return fHost->OpenDocument(file).value_or(UIDRef());
}

void PublishingSetup::Send() {
  EXPECT_TRUE(fHost->PerformAction(ActionID{0x122511}));
}

void PublishingSetup::Restart() {
  fHost.reset();
  fHost = MakeHost();
}

std::vector<std::string> PublishingSetup::LeftInWorkingFolder() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(workingFolder())) {
    const std::string name = entry.path().filename().string();
    if (!name.starts_with("FolivoPref") && name != kSendHistoryFileName &&
        name != kPendingFileName && name != kRecordsLockFileName)
      names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

} // namespace folivox::test
