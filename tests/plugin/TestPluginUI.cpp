// The test plug-in's palette, list and dialog: each observer logs what it hears, so tests
// can check the host's order of messages, attaches and dialog steps.

#include "TestPluginUI.h"
#include "TestPluginIDs.h"

#include <layra/ActiveSelectionObserver.h>
#include <layra/CDialogController.h>
#include <layra/CDialogObserver.h>
#include <layra/IActionManager.h>
#include <layra/IApplication.h>
#include <layra/IBooleanControlData.h>
#include <layra/IDialogMgr.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelCreator.h>
#include <layra/ISession.h>
#include <layra/ISubject.h>
#include <layra/ITextControlData.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewMgr.h>
#include <layra/ITreeViewWidgetMgr.h>
#include <layra/WLocaleSetting.h>

#include <cstdio>
#include <set>

namespace {

constexpr PluginID kTestPlugin{0x900000};

struct UIState {
  std::vector<std::string> log;
  std::int32_t rows = 0;
  std::int32_t filled = 0;
  std::set<std::int32_t> checked;
};

UIState& State() {
  static UIState state;
  return state;
}

void Log(std::string line) {
  State().log.push_back(std::move(line));
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

WidgetID WidgetOf(ISubject* subject) {
  InterfacePtr<IControlView> view(subject, UseDefaultIID());
  return view ? view->GetWidgetID() : kInvalidWidgetID;
}

class TestPanelObserver : public ActiveSelectionObserver {
public:
  explicit TestPanelObserver(IPMUnknown* boss) : ActiveSelectionObserver(boss) {}

  void AutoAttach() override {
    ActiveSelectionObserver::AutoAttach();
    for (auto [widget, protocol] : kWatched)
      AttachToWidget(widget, protocol);
    Log("panel attach");
  }
  void AutoDetach() override {
    for (auto [widget, protocol] : kWatched)
      DetachFromWidget(widget, protocol);
    ActiveSelectionObserver::AutoDetach();
    Log("panel detach");
  }

protected:
  void HandleSelectionUpdate(const ClassID& change, ISubject* subject, const PMIID& protocol,
                             void* changedBy) override {
    ActiveSelectionObserver::HandleSelectionUpdate(change, subject, protocol, changedBy);
    if (protocol == IID_IACTIVESELECTION)
      return;
    Log("panel " + std::to_string(change.Get()) + " " + Hex(protocol.Get()) + " #" +
        Hex(WidgetOf(subject).Get()));
    if (change == kTrueStateMessage && WidgetOf(subject) == kTestHelloButtonWidgetID)
      Greet();
  }
  void HandleSelectionChanged(const ISelectionMessage*) override { Log("selection changed"); }

private:
  static void Greet() {
    InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
    InterfacePtr<IActionManager> actions(application ? application->QueryActionManager() : nullptr);
    if (actions)
      actions->PerformAction(GetExecutionContextSession()->GetActiveContext(), kTestGreetAction);
  }

  static constexpr std::pair<WidgetID, PMIID> kWatched[] = {
      {kTestIconButtonWidgetID, IID_IBOOLEANCONTROLDATA},
      {kTestHelloButtonWidgetID, IID_IBOOLEANCONTROLDATA},
      {kTestListWidgetID, IID_ITREEVIEWCONTROLLER},
      {kTestPasswordWidgetID, IID_ITEXTCONTROLDATA},
      {kTestComboWidgetID, IID_ISTRINGLISTCONTROLDATA}};
};

class TestListAdapter : public ListTreeViewAdapter {
public:
  explicit TestListAdapter(IPMUnknown* boss) : ListTreeViewAdapter(boss) {}
  std::int32_t GetNumListItems() const override { return State().rows; }
};

class TestListMgr : public CTreeViewWidgetMgr {
public:
  explicit TestListMgr(IPMUnknown* boss) : CTreeViewWidgetMgr(boss, 0) {}
  void RegisterStyles() override { RegisterStyleWidget(1, 800, kTestPlugin); }

protected:
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* widgets,
                           std::int32_t) const override {
    TreeNodePtr<IntNodeID> row(node);
    if (!row || !widgets)
      return kTrue;
    ++State().filled;
    InterfacePtr<ITextControlData> text(widgets->FindWidget(kTestRowTextWidgetID), UseDefaultIID());
    if (text)
      text->SetString(
          PMString("Row " + std::to_string(row->Get() + 1), PMString::kDontTranslateDuringCall));
    InterfacePtr<IBooleanControlData> box(widgets->FindWidget(kTestRowCheckBoxWidgetID),
                                          UseDefaultIID());
    if (box && State().checked.count(row->Get()))
      box->Select(kFalse);
    else if (box)
      box->Deselect(kFalse);
    return kTrue;
  }
};

class TestRowObserver : public CWidgetObserver {
public:
  explicit TestRowObserver(IPMUnknown* boss) : CWidgetObserver(boss) {}
  void AutoAttach() override {
    AttachToWidget(kTestRowCheckBoxWidgetID, IID_IBOOLEANCONTROLDATA);
    Log("row attach");
  }
  void AutoDetach() override {
    DetachFromWidget(kTestRowCheckBoxWidgetID, IID_IBOOLEANCONTROLDATA);
    Log("row detach");
  }
  void Update(const ClassID& change, ISubject*, const PMIID&, void*) override {
    InterfacePtr<ITreeNodeIDData> data(this, UseDefaultIID());
    TreeNodePtr<IntNodeID> row(data ? data->Get() : kInvalidNodeID);
    if (!row)
      return;
    const bool on = change == kTrueStateMessage;
    if (on)
      State().checked.insert(row->Get());
    else
      State().checked.erase(row->Get());
    Log("row " + std::to_string(row->Get() + 1) + (on ? " on" : " off"));
  }
};

class TestDialogController : public CDialogController {
public:
  explicit TestDialogController(IPMUnknown* boss) : CDialogController(boss) {}
  void InitializeDialogFields(IActiveContext* context) override {
    CDialogController::InitializeDialogFields(context);
    Log("initialize");
  }
  WidgetID ValidateDialogFields(IActiveContext*) override {
    Log("validate");
    InterfacePtr<IPanelControlData> panel(this, UseDefaultIID());
    InterfacePtr<ITextControlData> text(
        panel ? panel->FindWidget(kTestDialogEditWidgetID) : nullptr, UseDefaultIID());
    return text && text->GetString() == PMString("bad") ? kTestDialogEditWidgetID
                                                        : kInvalidWidgetID;
  }
  void ApplyDialogFields(IActiveContext*, const WidgetID&) override { Log("apply"); }
  void ClosingDialog() override { Log("closing"); }
};

class TestDialogObserver : public CDialogObserver {
public:
  explicit TestDialogObserver(IPMUnknown* boss) : CDialogObserver(boss) {}
  void Update(const ClassID& change, ISubject* subject, const PMIID& protocol,
              void* changedBy) override {
    Log("dialog " + std::to_string(change.Get()) + " #" + Hex(WidgetOf(subject).Get()));
    CDialogObserver::Update(change, subject, protocol, changedBy);
  }
};

class TestUI : public CPMUnknown<ITestUI> {
public:
  explicit TestUI(IPMUnknown* boss) : CPMUnknown<ITestUI>(boss) {}
  std::vector<std::string> TakeLog() override { return std::exchange(State().log, {}); }
  void SetRowCount(std::int32_t rows) override { State().rows = rows; }
  std::int32_t TakeFilledRows() override { return std::exchange(State().filled, 0); }
};

class TestPageCreator : public CPanelCreator {
public:
  explicit TestPageCreator(IPMUnknown* boss) : CPanelCreator(boss) {}
  RsrcID GetPanelRsrcID() const override { return RsrcID{850}; }
};

template <class Impl> ImplementationRecord Record(std::uint32_t id) {
  return ImplementationRecord{ImplementationID{id}, &layra::CreateImplementation<Impl>,
                              &layra::DestroyImplementation<Impl>,
                              &layra::SizeOfImplementation<Impl>};
}

} // namespace

std::vector<ImplementationRecord> UIRecords() {
  return {Record<TestPanelObserver>(0x900010),
          Record<TestListAdapter>(0x900011),
          Record<TestListMgr>(0x900012),
          Record<TestRowObserver>(0x900013),
          Record<TestDialogController>(0x900014),
          Record<TestDialogObserver>(0x900015),
          Record<TestUI>(0x900016),
          Record<TestPageCreator>(0x900017)};
}

void OpenTestDialog(PluginID plugin) {
  InterfacePtr<IDialogMgr> dialogs(QueryDialogMgr());
  InterfacePtr<IDialog> dialog(
      dialogs ? dialogs->CreateNewDialog(
                    RsrcSpec{WLocaleSetting::GetLocale(), plugin, kViewRsrcType, RsrcID{250}})
              : nullptr);
  if (dialog)
    dialog->Open();
}
