#include "publish/FolivoActionComponent.h"

#include "base/FolivoxIDs.h"
#include "base/FrontDocument.h"
#include "base/ImplementationTable.h"
#include "base/Trace.h"
#include "panel/FolivoTreeInformator.h"
#include "prefs/PreferenceHooks.h"
#include "prefs/PreferencePanel.h"
#include "publish/ConfigurationAddress.h"
#include "publish/PanelRequests.h"
#include "publish/Records.h"

#include <layra/IDocument.h>
#include <layra/ISession.h>
#include <layra/TaskProgress.h>
#include <layra/UtilsBoss.h>

FolivoActionComponent* sharedActionComponent = nullptr;

namespace {
folivox::RegisterImplementation<FolivoActionComponent>
    gRegisterActionComponent(kFolivoActionComponentImpl);

// The preferences panel knows nothing of the controller; it reaches it through this hook.
std::int32_t PreferencesClosed(IPMUnknown*) {
  if (sharedActionComponent)
    sharedActionComponent->OnPreferencesClosed();
  return 0;
}

/** Runs a page-list operation when the panel's list exists. */
template <class Operation> void WithPageList(Operation operation) {
  if (gFolivoTreeInformator)
    operation(*gFolivoTreeInformator);
}
} // namespace

FolivoActionComponent::FolivoActionComponent(IPMUnknown* boss) : CActionComponent(boss) {
  InstallHooks();
}

FolivoActionComponent::~FolivoActionComponent() {
  if (sharedActionComponent == this)
    sharedActionComponent = nullptr;
}

void FolivoActionComponent::DoAction(IActiveContext*, ActionID action, GSysPoint, IPMUnknown*) {
  sharedActionComponent = this;
  InstallHooks();
  CheckCacheDate();
  CheckFirstRunPreferences();
  Dispatch(action);
}

void FolivoActionComponent::InstallHooks() {
  InterfacePtr<IImplementationUtils> utils(UtilsBoss::QueryUtils<IImplementationUtils>());
  if (utils)
    utils->SetImplementationResident(kCommonPreferenceDataImpl, true);
  gPreferenceApplyHook = &AddressApplyHook;
  gPreferenceDisplayHook = &AddressDisplayHook;
  gPreferenceSecretHook = &AddressShowsPassword;
  gPreferencesClosedHook = &PreferencesClosed;
  gPreferenceTestHook = &TestConnectionHook;
}

void FolivoActionComponent::Dispatch(ActionID action) {
  switch (action.Get()) {
  case kFolivoAcquireConfigurationActionID.Get():
    TidyRecords();
    AcquireConfiguration();
    break;
  case kFolivoShowPreferencesActionID.Get():
    AcquireConfiguration();
    OpenPreferencesDialog();
    break;
  case kFolivoSendPagesActionID.Get():
    SendPages();
    fMenuSend = true;
    break;
  case kFolivoMakePagesReadyAndSendActionID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.MakePagesReady(); });
    SendPages();
    fMenuSend = true;
    break;
  case kFolivoSendPagesHiddenActionID.Get():
    // A send started from the menu is followed by this action; it must not send twice.
    if (!fMenuSend)
      SendPages();
    fMenuSend = false;
    break;
  case kFolivoReloadConfigurationActionID.Get():
    if (!ReloadConfiguration()) {
      TaskResult::Show(PMString("Configuration not reloaded: sending stays off until one is "
                                "downloaded or an earlier copy is taken",
                                PMString::kDontTranslateDuringCall),
                       TaskResult::kFailed);
      break;
    }
    TaskResult::Show(PMString("Configuration reloaded: " + std::to_string(fPreviewVariants.size()) +
                                  " preview variants",
                              PMString::kDontTranslateDuringCall),
                     TaskResult::kDone);
    if (QueryFrontDocument())
      WithPageList([](FolivoTreeInformator& list) { list.LoadPageStatuses(nullptr); });
    break;
  case kFolivoResendActionID.Get():
    ResendUnsent();
    break;
  case kFolivoEnableAllPagesActionID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.MakePagesReady(); });
    break;
  case kFolivoDisableAllPagesActionID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.MakePagesNotReady(); });
    break;
  case kFolivoClearCacheActionID.Get():
    ConfirmAndClearCache();
    break;
  case kFolivoDialogActionID.Get():
    if (gOpenPlainDialog)
      gOpenPlainDialog();
    break;
  case kFolivoToggleAllPageStatusesActionID.Get():
    WithPageList([](FolivoTreeInformator& list) { list.InvertPageStatuses(); });
    break;
  default:
    // Actions without an effect of their own (the panel toggle, the separators and the
    // internal action) only run the steps above.
    break;
  }
}

void FolivoActionComponent::ResetParsedFields() {
  fDay.clear();
  fMonth.clear();
  fMiniYear.clear();
  fEdition.clear();
  fFirstPage.clear();
  fLastPage.clear();
  fParsedDocumentName.Clear();
}

std::int32_t FolivoActionComponent::ParseDocumentNameOf(const UIDRef* document) {
  ResetParsedFields();
  InterfacePtr<IDocument> target;
  if (document) {
    target.reset(static_cast<IDocument*>(document->Instantiate(IID_IDOCUMENT)));
  } else {
    target = QueryFrontDocument();
  }
  if (!target)
    return 1;
  PMString name;
  target->GetName(name);
  const std::int32_t result = ParseDocumentName(name);
  if (result != 0)
    folivox::Trace("Could not parse documentName using regex functions.\n");
  return result;
}
