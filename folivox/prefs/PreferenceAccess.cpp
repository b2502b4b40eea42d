#include "prefs/PreferenceAccess.h"

#include "base/Trace.h"

#include <layra/CmdUtils.h>
#include <layra/IApplication.h>
#include <layra/IDataBase.h>
#include <layra/ISession.h>
#include <layra/IWorkspace.h>

#include <utility>

namespace {

constexpr const char* kNoApplication =
    "InterfacePtr<IApplication> app(gSession->QueryApplication())";
constexpr const char* kNoSessionWorkspace = "IPMUnknown * workspace = gSession->QueryWorkspace( )";
constexpr const char* kNoWorkspace = "InterfacePtr<IWorkspace> iworkspace( app, UseDefaultIID( ) )";
constexpr const char* kNoStore =
    "InterfacePtr<IPreferenceData> preference( workspace, UseDefaultIID( ) )";
constexpr const char* kNoCommand = "InterfacePtr<ICommand> bpiSetDataCmd(CmdUtils::CreateCommand("
                                   "kQuorPreferenceCommandBoss));";
constexpr const char* kNoCommandStore =
    "InterfacePtr<IPreferenceData> bpiData(bpiSetDataCmd, UseDefaultIID());";

// Every caller logs to the same place, so the line names the statement that came up empty.
// Always false, so that a failing step can return it.
bool ReportMissing(const char* statement) {
  folivox::Trace("QUORPreferenceDialogObserver::ButtonClicked exception => %s == nil!\n",
                 statement);
  return false;
}

bool HasApplication(ISession* session) {
  InterfacePtr<IApplication> application(session->QueryApplication());
  return application ? true : ReportMissing(kNoApplication);
}

// The application workspace boss, provided it carries the store; null after a report.
InterfacePtr<IPMUnknown> WorkspaceWithStore() {
  ISession* session = GetExecutionContextSession();
  if (!HasApplication(session))
    return {};
  InterfacePtr<IPMUnknown> workspace(session->QueryWorkspace());
  if (!workspace) {
    ReportMissing(kNoSessionWorkspace);
    return {};
  }
  InterfacePtr<IWorkspace> iworkspace(workspace, UseDefaultIID());
  if (!iworkspace) {
    ReportMissing(kNoWorkspace);
    return {};
  }
  InterfacePtr<ICommonPreferenceData> preference(workspace, UseDefaultIID());
  if (!preference) {
    ReportMissing(kNoStore);
    return {};
  }
  return workspace;
}

} // namespace

ICommonPreferenceData* GetPrefrenceData() {
  ISession* session = GetExecutionContextSession();
  if (!HasApplication(session))
    return nullptr;
  InterfacePtr<IPMUnknown> workspace(session->QueryWorkspace());
  InterfacePtr<IWorkspace> iworkspace(workspace, UseDefaultIID());
  if (!iworkspace) {
    ReportMissing(kNoWorkspace);
    return nullptr;
  }
  InterfacePtr<ICommonPreferenceData> preference(iworkspace, UseDefaultIID());
  if (!preference)
    ReportMissing(kNoStore);
  return preference.forget();
}

bool GetPreferecesForWritting(InterfacePtr<ICommonPreferenceData>& data,
                              InterfacePtr<ICommand>& command) {
  InterfacePtr<IPMUnknown> workspace = WorkspaceWithStore();
  if (!workspace)
    return false;
  InterfacePtr<ICommand> bpiSetDataCmd(CmdUtils::CreateCommand(kQuorPreferenceCommandBoss));
  if (!bpiSetDataCmd)
    return ReportMissing(kNoCommand);
  InterfacePtr<ICommonPreferenceData> bpiData(bpiSetDataCmd, UseDefaultIID());
  if (!bpiData)
    return ReportMissing(kNoCommandStore);
  bpiSetDataCmd->SetItemList(UIDList(GetUIDRef(workspace)));
  data = std::move(bpiData);
  command = std::move(bpiSetDataCmd);
  return true;
}
