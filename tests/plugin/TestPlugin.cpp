// A small plug-in that exercises what every plug-in relies on: entry point,
// registration, resources, a start-up service, an action, a persistent
// implementation changed through an undoable command, and a responder.

#include "PluginFile.h"
#include "TestPluginIDs.h"
#include "TestPluginUI.h"

#include <layra/CActionComponent.h>
#include <layra/CAlert.h>
#include <layra/CPlugIn.h>
#include <layra/CResponder.h>
#include <layra/CServiceProvider.h>
#include <layra/CmdUtils.h>
#include <layra/Command.h>
#include <layra/IDataBase.h>
#include <layra/IImplementationRegistry.h>
#include <layra/IPMStream.h>
#include <layra/ISession.h>
#include <layra/ISignalMgr.h>
#include <layra/IStartupShutdownService.h>
#include <layra/ISubject.h>

#include <cstdio>
#include <string>

namespace {

constexpr PluginID kTestPlugin{0x900000};

class TestCounter : public CPMUnknown<ITestCounter> {
public:
  explicit TestCounter(IPMUnknown* boss) : CPMUnknown<ITestCounter>(boss) {}
  std::int32_t Get() const override { return fValue; }
  void Increment() override {
    PreDirty();
    ++fValue;
  }
  void ReadWrite(IPMStream* stream, ImplementationID) { stream->XferInt32(fValue); }

private:
  std::int32_t fValue = 0;
};

class IncrementCommand : public Command {
public:
  explicit IncrementCommand(IPMUnknown* boss) : Command(boss) {}
  void Do() override {
    for (std::int32_t i = 0; i < GetItemList()->Length(); ++i) {
      InterfacePtr<ITestCounter> counter(
          static_cast<ITestCounter*>(GetItemList()->GetRef(i).Instantiate(IID_ITESTCOUNTER)));
      if (counter)
        counter->Increment();
    }
  }
  void DoNotify() override {
    InterfacePtr<ISubject> subject(
        static_cast<ISubject*>(GetItemList()->GetRef(0).Instantiate(IID_ISUBJECT)));
    if (subject)
      subject->ModelChange(ClassID{0x900005}, IID_ITESTCOUNTER, this);
  }
  PMString CreateName() override { return PMString("Increment"); }
};

class TestActions : public CActionComponent {
public:
  explicit TestActions(IPMUnknown* boss) : CActionComponent(boss) {}
  void DoAction(IActiveContext*, ActionID action, GSysPoint, IPMUnknown*) override {
    if (action == kTestDialogAction) {
      OpenTestDialog(kTestPlugin);
      return;
    }
    if (action == kTestGreetAction) {
      CAlert::InformationAlert(PMString("0x900000kHelloKey"));
      return;
    }
    if (action != kTestIncrementAction)
      return;
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kTestIncrementCommandBoss));
    InterfacePtr<IPMUnknown> workspace(GetExecutionContextSession()->QueryWorkspace());
    command->SetItemList(UIDList(GetUIDRef(workspace)));
    CmdUtils::ProcessCommand(command);
  }
};

class TestStartup : public CPMUnknown<IStartupShutdownService> {
public:
  explicit TestStartup(IPMUnknown* boss) : CPMUnknown<IStartupShutdownService>(boss) {}
  void Startup() override { CAlert::InformationAlert(PMString("0x900000kStartedKey")); }
  void Shutdown() override { std::printf("test plug-in shut down\n"); }
};

class TestResponderProvider : public CServiceProvider {
public:
  explicit TestResponderProvider(IPMUnknown* boss) : CServiceProvider(boss) {}
  void GetName(PMString* name) override { *name = PMString("Test responder"); }
  ServiceID GetServiceID() override { return ServiceID{0xe0f}; }
  bool HasMultipleIDs() const override { return true; }
  void GetServiceIDs(std::vector<ServiceID>& ids) override {
    for (std::uint32_t id : {0xe0fu, 0xe10u, 0xe11u, 0x16301u, 0x16302u, 0x503u, 0x504u})
      ids.push_back(ServiceID{id});
  }
};

class TestResponder : public CResponder {
public:
  explicit TestResponder(IPMUnknown* boss) : CResponder(boss) {}
  void Respond(ISignalMgr* signal) override {
    InterfacePtr<IDocumentSignalData> data(signal, UseDefaultIID());
    std::printf("signal 0x%x for object %u\n", signal->GetServiceID().Get(),
                data ? data->GetDocument().GetUID() : 0u);
  }
};

// Implementations that stream themselves get a persistence function.
template <class Impl> ImplementationRecord Record(std::uint32_t id) {
  ImplementationRecord record{ImplementationID{id}, &layra::CreateImplementation<Impl>,
                              &layra::DestroyImplementation<Impl>,
                              &layra::SizeOfImplementation<Impl>};
  if constexpr (requires(Impl & impl) { impl.ReadWrite(nullptr, ImplementationID{}); })
    record.persist = &layra::PersistImplementation<Impl>;
  return record;
}

class TestPlugIn final : public CPlugIn {
public:
  std::string GetResourceFile() const override { return PluginFile(); }
  bool RegisterImplementations(PluginID id) override {
    std::vector<ImplementationRecord> records{
        Record<TestActions>(0x900000),           Record<TestStartup>(0x900001),
        Record<TestCounter>(0x900002),           Record<IncrementCommand>(0x900003),
        Record<TestResponderProvider>(0x900004), Record<TestResponder>(0x900005)};
    for (const ImplementationRecord& r : UIRecords())
      records.push_back(r);
    return RegisterRecords(id, records);
  }
  void Unload() override { std::puts("test plug-in unloaded"); }
};

TestPlugIn gPlugIn;

} // namespace

extern "C" __attribute__((visibility("default"))) IPlugIn* GetPlugIn() {
  return &gPlugIn;
}
