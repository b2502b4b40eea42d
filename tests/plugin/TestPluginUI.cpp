// The test plug-in's palette, list and dialog: each observer logs what it hears, so tests
// can check the host's order of messages, attaches and dialog steps.

#include "TestPluginUI.h"
#include "TestPluginIDs.h"

#include <layra/ActiveSelectionObserver.h>
#include <layra/CDialogController.h>
#include <layra/CDialogObserver.h>
#include <layra/CmdUtils.h>
#include <layra/IActionManager.h>
#include <layra/IActiveContext.h>
#include <layra/IApplication.h>
#include <layra/IBooleanControlData.h>
#include <layra/IDataBase.h>
#include <layra/IDialogMgr.h>
#include <layra/IDocument.h>
#include <layra/IEventHandler.h>
#include <layra/IPMStream.h>
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
#include <optional>
#include <set>

namespace {

constexpr PluginID kTestPlugin{0x900000};

struct UIState {
  std::vector<std::string> log;
  std::int32_t rows = 0;
  std::int32_t filled = 0;
  std::optional<std::int32_t> rebuildAt;
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
    InterfacePtr<IDocument> front(FrontDocument());
    WatchDocument(front.get());
    Log("panel attach");
  }
  void AutoDetach() override {
    WatchDocument(nullptr);
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
    if (protocol == IID_ITESTCOUNTER) {
      ShowKeep();
      return;
    }
    Log("panel " + std::to_string(change.Get()) + " " + Hex(protocol.Get()) + " #" +
        Hex(WidgetOf(subject).Get()));
    if (change == kTrueStateMessage && WidgetOf(subject) == kTestHelloButtonWidgetID)
      Greet();
    if (WidgetOf(subject) == kTestKeepWidgetID)
      TurnKeep();
  }
  void HandleSelectionChanged(const ISelectionMessage*) override {
    Log("selection changed");
    InterfacePtr<IDocument> front(FrontDocument());
    WatchDocument(front.get());
  }

private:
  static IDocument* FrontDocument() {
    IActiveContext* context = GetExecutionContextSession()->GetActiveContext();
    IDocument* document = context ? context->GetContextDocument() : nullptr;
    if (document)
      document->AddRef();
    return document;
  }

  /** "Keep" follows the front document's count, also as its changes are undone. */
  void WatchDocument(IDocument* document) {
    InterfacePtr<IObserver> self(this, UseDefaultIID());
    if (fDocument)
      fDocument->DetachObserver(self.get(), IID_ITESTCOUNTER);
    fDocument.reset(document ? InterfacePtr<ISubject>(document, UseDefaultIID()).forget()
                             : nullptr);
    if (fDocument)
      fDocument->AttachObserver(self.get(), IID_ITESTCOUNTER);
    ShowKeep();
  }
  void ShowKeep() {
    InterfacePtr<ITestCounter> count(fDocument, UseDefaultIID());
    InterfacePtr<IPanelControlData> panel(this, UseDefaultIID());
    InterfacePtr<IBooleanControlData> keep(panel ? panel->FindWidget(kTestKeepWidgetID) : nullptr,
                                           UseDefaultIID());
    if (!count || !keep)
      return;
    if (count->Get() % 2 == 1)
      keep->Select(kFalse);
    else
      keep->Deselect(kFalse);
  }
  /** A turn of "Keep" counts in the front document, undoably. */
  void TurnKeep() {
    InterfacePtr<ITestCounter> count(fDocument, UseDefaultIID());
    InterfacePtr<IPanelControlData> panel(this, UseDefaultIID());
    InterfacePtr<IBooleanControlData> keep(panel ? panel->FindWidget(kTestKeepWidgetID) : nullptr,
                                           UseDefaultIID());
    if (!count || !keep || keep->IsSelected() == (count->Get() % 2 == 1))
      return;
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kTestIncrementCommandBoss));
    command->SetItemList(UIDList(GetUIDRef(count)));
    CmdUtils::ProcessCommand(command);
  }

  InterfacePtr<ISubject> fDocument;

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
      {kTestComboWidgetID, IID_ISTRINGLISTCONTROLDATA},
      {kTestKeepWidgetID, IID_IBOOLEANCONTROLDATA}};
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
    if (State().rebuildAt == row->Get()) {
      State().rebuildAt.reset();
      InterfacePtr<ITreeViewMgr> tree(this, UseDefaultIID());
      tree->ChangeRoot();
    }
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
  void RebuildWhenFilling(std::int32_t row) override { State().rebuildAt = row; }
};

// A small tree of named nodes: A (with A1 and A2) and B under an unnamed root.
class TestNodeID : public NodeIDClass {
public:
  explicit TestNodeID(std::string name) : fName(std::move(name)) {}
  const std::string& Name() const { return fName; }
  NodeType GetNodeType() const override { return NodeType{0x900030}; }
  std::int32_t Compare(const NodeIDClass* other) const override {
    return fName.compare(static_cast<const TestNodeID*>(other)->fName);
  }
  NodeIDClass* Clone() const override { return new TestNodeID(fName); }
  void Read(IPMStream* stream) override {
    PMString name;
    name.ReadWrite(stream);
    fName = name.GetUTF8String();
  }
  void Write(IPMStream* stream) const override {
    PMString name(fName, PMString::kDontTranslateDuringCall);
    name.ReadWrite(stream);
  }

private:
  std::string fName;
};

std::vector<std::string> ChildrenOf(const std::string& name) {
  if (name.empty())
    return {"A", "B"};
  if (name == "A")
    return {"A1", "A2"};
  return {};
}

class TestTreeAdapter : public CPMUnknown<ITreeViewHierarchyAdapter> {
public:
  explicit TestTreeAdapter(IPMUnknown* boss) : CPMUnknown<ITreeViewHierarchyAdapter>(boss) {}
  NodeID GetRootNode() const override { return NodeID(new TestNodeID("")); }
  NodeID GetParentNode(const NodeID& node) const override {
    TreeNodePtr<TestNodeID> named(node);
    if (!named || named->Name().empty())
      return kInvalidNodeID;
    return NodeID(new TestNodeID(named->Name().size() == 1 ? "" : named->Name().substr(0, 1)));
  }
  std::int32_t GetNumChildren(const NodeID& node) const override {
    TreeNodePtr<TestNodeID> named(node);
    return named ? static_cast<std::int32_t>(ChildrenOf(named->Name()).size()) : 0;
  }
  NodeID GetNthChild(const NodeID& node, const std::int32_t& nth) const override {
    TreeNodePtr<TestNodeID> named(node);
    const auto children = named ? ChildrenOf(named->Name()) : std::vector<std::string>();
    if (nth < 0 || nth >= static_cast<std::int32_t>(children.size()))
      return kInvalidNodeID;
    return NodeID(new TestNodeID(children[static_cast<std::size_t>(nth)]));
  }
  std::int32_t GetChildIndex(const NodeID& parent, const NodeID& child) const override {
    TreeNodePtr<TestNodeID> named(parent), sought(child);
    const auto children = named ? ChildrenOf(named->Name()) : std::vector<std::string>();
    for (std::size_t i = 0; sought && i < children.size(); ++i) {
      if (children[i] == sought->Name())
        return static_cast<std::int32_t>(i);
    }
    return -1;
  }
  NodeID GetGenericNodeID() const override { return NodeID(new TestNodeID("")); }
};

class TestTreeMgr : public CTreeViewWidgetMgr {
public:
  explicit TestTreeMgr(IPMUnknown* boss) : CTreeViewWidgetMgr(boss, 2) {}
  void RegisterStyles() override { RegisterStyleWidget(2, 801, kTestPlugin); }

protected:
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* widgets,
                           std::int32_t) const override {
    TreeNodePtr<TestNodeID> named(node);
    InterfacePtr<ITextControlData> text(widgets ? widgets->FindWidget(WidgetID{0x900025}) : nullptr,
                                        UseDefaultIID());
    if (named && text)
      text->SetString(PMString(named->Name(), PMString::kDontTranslateDuringCall));
    return kTrue;
  }
};

// A row's handler that passes every click on to the host's standard one, which the row's
// boss keeps under an interface of its own.
class TestRowEventHandler : public CEventHandler {
public:
  explicit TestRowEventHandler(IPMUnknown* boss) : CEventHandler(boss) {}
  bool16 LButtonDn(IEvent* e) override {
    Log("row click");
    InterfacePtr<IEventHandler> standard(this, PMIID{0x900002});
    return standard && standard->LButtonDn(e);
  }
  bool16 LDoubleClick(IEvent* e) override {
    Log("row double click");
    InterfacePtr<IEventHandler> standard(this, PMIID{0x900002});
    return standard && standard->LDoubleClick(e);
  }
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
          Record<TestPageCreator>(0x900017),
          Record<TestTreeAdapter>(0x900018),
          Record<TestTreeMgr>(0x900019),
          Record<TestRowEventHandler>(0x90001A)};
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
