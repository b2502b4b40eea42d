// Bosses, references, add-ins, persistence, undo and observers, on classes
// assembled directly through the host's object model.

#include <layra/CObserver.h>
#include <layra/CmdUtils.h>
#include <layra/Command.h>
#include <layra/ErrorUtils.h>
#include <layra/IImplementationRegistry.h>
#include <layra/IObjectModel.h>
#include <layra/IPMStream.h>
#include <layra/ISession.h>
#include <layra/ISubject.h>
#include <layra/host/DataBase.h>
#include <layra/host/Host.h>

#include <gtest/gtest.h>

namespace {

constexpr PMIID IID_IVALUE{0x7001};
constexpr PMIID IID_IOTHER{0x7002};
constexpr ClassID kValueBoss{0x7001};
constexpr ClassID kDerivedBoss{0x7002};
constexpr ClassID kSetValueCommandBoss{0x7003};
constexpr ClassID kObserverBoss{0x7004};
constexpr ClassID kReachesBackBoss{0x7005};
constexpr ClassID kPairBoss{0x7006};

int gConstructed = 0;
int gDestroyed = 0;

class IValue : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IVALUE;
  virtual std::int32_t Get() const = 0;
  virtual void Set(std::int32_t value) = 0;
};

class ValueImpl : public CPMUnknown<IValue> {
public:
  explicit ValueImpl(IPMUnknown* boss) : CPMUnknown<IValue>(boss) { ++gConstructed; }
  ~ValueImpl() override { ++gDestroyed; }
  std::int32_t Get() const override { return fValue; }
  void Set(std::int32_t value) override {
    PreDirty();
    fValue = value;
  }
  void ReadWrite(IPMStream* stream, ImplementationID) { stream->XferInt32(fValue); }

private:
  std::int32_t fValue = 0;
};

// A value stored in two fields, so that data damaged after the first would leave it half-read.
class PairImpl : public CPMUnknown<IValue> {
public:
  explicit PairImpl(IPMUnknown* boss) : CPMUnknown<IValue>(boss) {}
  std::int32_t Get() const override { return fThousands * 1000 + fUnits; }
  void Set(std::int32_t value) override {
    PreDirty();
    fThousands = value / 1000;
    fUnits = value % 1000;
  }
  void ReadWrite(IPMStream* stream, ImplementationID) {
    stream->XferInt32(fThousands);
    stream->XferInt32(fUnits);
  }

private:
  std::int32_t fThousands = 0;
  std::int32_t fUnits = 0;
};

class OtherImpl : public CPMUnknown<IPMUnknown> {
public:
  explicit OtherImpl(IPMUnknown* boss) : CPMUnknown<IPMUnknown>(boss) {}
};

bool gAnsweredWhileDying = false;

// Reaches for its own boss while it dies, as a careless destructor would.
class ReachesBackImpl : public CPMUnknown<IPMUnknown> {
public:
  explicit ReachesBackImpl(IPMUnknown* boss) : CPMUnknown<IPMUnknown>(boss) {}
  ~ReachesBackImpl() override {
    AddRef();
    Release();
    gAnsweredWhileDying = InterfacePtr<IValue>(Boss(), UseDefaultIID()) != nullptr;
  }
};

std::int32_t gNewValue = 0;

class SetValueCommand : public Command {
public:
  explicit SetValueCommand(IPMUnknown* boss) : Command(boss) {}
  void Do() override {
    InterfacePtr<IValue> value(
        static_cast<IValue*>(GetItemList()->GetRef(0).Instantiate(IID_IVALUE)));
    value->Set(gNewValue);
    if (gNewValue < 0)
      ErrorUtils::PMSetGlobalErrorCode(kFailure);
  }
  void DoNotify() override {
    InterfacePtr<ISubject> subject(
        static_cast<ISubject*>(GetItemList()->GetRef(0).Instantiate(IID_ISUBJECT)));
    subject->ModelChange(ClassID{0x7777}, IID_IVALUE, this);
  }
  PMString CreateName() override { return PMString("Set value"); }
};

int gHeard = 0;
ISubject* gDetachWhenDying = nullptr;

class CountingObserver : public CObserver {
public:
  explicit CountingObserver(IPMUnknown* boss) : CObserver(boss) {}
  ~CountingObserver() override {
    if (gDetachWhenDying)
      gDetachWhenDying->DetachObserver(this, IID_IVALUE);
  }
  void Update(const ClassID& change, ISubject*, const PMIID& protocol, void*) override {
    if (change == ClassID{0x7777} && protocol == IID_IVALUE)
      ++gHeard;
  }
};

template <class Impl> ImplementationRecord Record(std::uint32_t id, bool persistent = false) {
  ImplementationRecord record{ImplementationID{id}, &layra::CreateImplementation<Impl>,
                              &layra::DestroyImplementation<Impl>,
                              &layra::SizeOfImplementation<Impl>};
  if constexpr (requires(Impl & i) { i.ReadWrite(nullptr, ImplementationID{}); }) {
    if (persistent)
      record.persist = &layra::PersistImplementation<Impl>;
  }
  return record;
}

class ComponentModel : public testing::Test {
protected:
  void SetUp() override {
    gConstructed = gDestroyed = gHeard = 0;
    gDetachWhenDying = nullptr;
    auto& model = layra::ObjectModel::Instance();
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<ValueImpl>(0x7001, true)));
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<OtherImpl>(0x7002)));
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<SetValueCommand>(0x7003)));
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<CountingObserver>(0x7004)));
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<ReachesBackImpl>(0x7005)));
    ASSERT_TRUE(model.RegisterImplementation(PluginID{7}, Record<PairImpl>(0x7006, true)));
    model.AddClass({kPairBoss,
                    kInvalidClass,
                    "kPairBoss",
                    PluginID{7},
                    {{IID_IVALUE, ImplementationID{0x7006}}}});
    model.AddClass({kValueBoss,
                    kInvalidClass,
                    "kValueBoss",
                    PluginID{7},
                    {{IID_IVALUE, ImplementationID{0x7001}}, {IID_ISUBJECT, kSubjectImpl}}});
    model.AddClass({kDerivedBoss, kValueBoss, "kDerivedBoss", PluginID{7}, {}});
    model.AddClass({kSetValueCommandBoss,
                    kInvalidClass,
                    "kSetValueCommandBoss",
                    PluginID{7},
                    {{IID_ICOMMAND, ImplementationID{0x7003}}}});
    model.AddClass({kObserverBoss,
                    kInvalidClass,
                    "kObserverBoss",
                    PluginID{7},
                    {{IID_IOBSERVER, ImplementationID{0x7004}}}});
    model.AddClass(
        {kReachesBackBoss,
         kInvalidClass,
         "kReachesBackBoss",
         PluginID{7},
         {{IID_IOTHER, ImplementationID{0x7005}}, {IID_IVALUE, ImplementationID{0x7001}}}});
  }

  static InterfacePtr<ISubject> SubjectOf(const UIDRef& target) {
    return InterfacePtr<ISubject>(static_cast<ISubject*>(target.Instantiate(IID_ISUBJECT)));
  }
  static InterfacePtr<IObserver> NewObserver() {
    return InterfacePtr<IObserver>(
        static_cast<IObserver*>(CreateObject(kObserverBoss, IID_IOBSERVER)));
  }

  ErrorCode SetThroughCommand(const UIDRef& target, std::int32_t value) {
    gNewValue = value;
    InterfacePtr<ICommand> command(CmdUtils::CreateCommand(kSetValueCommandBoss));
    command->SetItemList(UIDList(target));
    return CmdUtils::ProcessCommand(command);
  }

  std::unique_ptr<layra::Host> fHost = layra::Host::Create(layra::HostOptions{}).value();
};

TEST_F(ComponentModel, AbsentInterfaceIsNullAndPresentOneShareOneCount) {
  InterfacePtr<IValue> value(static_cast<IValue*>(CreateObject(kValueBoss, IID_IVALUE)));
  ASSERT_TRUE(value);
  EXPECT_FALSE(InterfacePtr<IPMUnknown>(value, IID_IOTHER));
  InterfacePtr<ISubject> subject(value, UseDefaultIID());
  ASSERT_TRUE(subject);
  InterfacePtr<IValue> again(subject, UseDefaultIID());
  EXPECT_EQ(again.get(), value.get());
  EXPECT_EQ(CreateObject(ClassID{0x7FFF}, IID_IVALUE), nullptr);
}

TEST_F(ComponentModel, BossDiesExactlyWithItsLastReference) {
  IValue* raw = static_cast<IValue*>(CreateObject(kValueBoss, IID_IVALUE));
  InterfacePtr<ISubject> subject(raw, UseDefaultIID());
  raw->Release();
  EXPECT_EQ(gDestroyed, 0);
  InterfacePtr<ISubject> copy = subject;
  subject.reset();
  EXPECT_EQ(gDestroyed, 0);
  copy.reset();
  EXPECT_EQ(gConstructed, 1);
  EXPECT_EQ(gDestroyed, 1);
}

TEST_F(ComponentModel, DyingBossAnswersNoQueryAndIgnoresReferences) {
  gAnsweredWhileDying = true;
  InterfacePtr<IPMUnknown>(CreateObject(kReachesBackBoss, IID_IOTHER)).reset();
  EXPECT_FALSE(gAnsweredWhileDying);
  EXPECT_EQ(gConstructed, 0); // no implementation was created for the dying boss
}

TEST_F(ComponentModel, SubclassInheritsAndAddInAppearsOnExistingClass) {
  layra::ObjectModel::Instance().AddInterfaceToClass(
      kValueBoss, {IID_IOTHER, ImplementationID{0x7002}}, PluginID{8});
  InterfacePtr<IPMUnknown> derived(CreateObject(kDerivedBoss, IID_IVALUE));
  ASSERT_TRUE(derived);
  EXPECT_TRUE(InterfacePtr<IPMUnknown>(derived, IID_IOTHER));
}

TEST_F(ComponentModel, PersistentImplementationSurvivesExportAndImport) {
  layra::DataBase db;
  const UID uid = db.NewUID(kValueBoss);
  InterfacePtr<IValue>(static_cast<IValue*>(db.Instantiate(uid, IID_IVALUE)))->Set(41);
  const auto stored = db.Export();
  layra::DataBase copy;
  ASSERT_TRUE(copy.Import(stored));
  EXPECT_EQ(InterfacePtr<IValue>(static_cast<IValue*>(copy.Instantiate(uid, IID_IVALUE)))->Get(),
            41);
}

TEST_F(ComponentModel, DamagedDataLeaveTheImplementationFreshAndAreReported) {
  const struct {
    ClassID boss;
    std::uint32_t implementation;
    std::vector<unsigned char> bytes;
    std::int32_t read; // what the object holds afterwards; 0 for fresh
  } cases[] = {
      {kPairBoss, 0x7006, {41, 0, 0, 0, 7, 0, 0, 0}, 41007}, // intact
      {kPairBoss, 0x7006, {41, 0, 0, 0, 7}, 0},              // cut inside the second field
      {kPairBoss, 0x7006, {}, 0},                            // empty
      {kValueBoss, 0x7001, {1, 2}, 0},                       // cut inside the only field
  };
  for (const auto& c : cases) {
    // An object holding something else before: nothing of that stays either.
    layra::DataBase db;
    ASSERT_TRUE(db.CreateWithUID(3, c.boss));
    InterfacePtr<IValue> value(static_cast<IValue*>(db.Instantiate(3, IID_IVALUE)));
    value->Set(99999);
    const layra::Result<void> imported =
        db.Import({{3, c.boss, {{ImplementationID{c.implementation}, c.bytes}}}});
    EXPECT_EQ(imported.ok(), c.read != 0);
    EXPECT_EQ(imported.error().ends_with(" of object 3 are damaged"), c.read == 0)
        << imported.error();
    EXPECT_EQ(InterfacePtr<IValue>(static_cast<IValue*>(db.Instantiate(3, IID_IVALUE)))->Get(),
              c.read);
  }
}

TEST_F(ComponentModel, UndoRestoresRedoReappliesFailedCommandChangesNothing) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  InterfacePtr<IValue> value(static_cast<IValue*>(target.Instantiate(IID_IVALUE)));
  ASSERT_EQ(SetThroughCommand(target, 5), kSuccess);
  ASSERT_EQ(SetThroughCommand(target, 9), kSuccess);
  EXPECT_EQ(SetThroughCommand(target, -1), kFailure);
  EXPECT_EQ(value->Get(), 9);
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_EQ(value->Get(), 5);
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_EQ(value->Get(), 0);
  EXPECT_FALSE(CmdUtils::UndoLast(&db));
  ASSERT_TRUE(CmdUtils::RedoLast(&db));
  EXPECT_EQ(value->Get(), 5);
}

TEST_F(ComponentModel, SequenceIsOneUndoStep) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
  SetThroughCommand(target, 1);
  SetThroughCommand(target, 2);
  CmdUtils::EndCommandSequence(sequence);
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_EQ(InterfacePtr<IValue>(static_cast<IValue*>(target.Instantiate(IID_IVALUE)))->Get(), 0);
  EXPECT_FALSE(CmdUtils::CanUndo(&db));
}

TEST_F(ComponentModel, ObserverHearsEachChangeUndoAndRedoOnceAndNothingAfterDetaching) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  InterfacePtr<ISubject> subject = SubjectOf(target);
  InterfacePtr<IObserver> observer = NewObserver();
  subject->AttachObserver(observer, IID_IVALUE);
  subject->AttachObserver(observer, IID_IVALUE);
  SetThroughCommand(target, 1);
  EXPECT_EQ(gHeard, 1);
  // Undo and redo send the command's notice again.
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_EQ(gHeard, 2);
  ASSERT_TRUE(CmdUtils::RedoLast(&db));
  EXPECT_EQ(gHeard, 3);
  subject->DetachObserver(observer, IID_IVALUE);
  SetThroughCommand(target, 2);
  EXPECT_EQ(gHeard, 3);
}

TEST_F(ComponentModel, ObserverFreedWhileAttachedIsSkippedWhetherOrNotItDetachesWhileDying) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  InterfacePtr<ISubject> subject = SubjectOf(target);
  for (ISubject* detachFrom : {static_cast<ISubject*>(nullptr), subject.get()}) {
    gDetachWhenDying = detachFrom;
    subject->AttachObserver(NewObserver(), IID_IVALUE);
  }
  SetThroughCommand(target, 1);
  EXPECT_EQ(gHeard, 0);
  EXPECT_FALSE(subject->IsAttached(NewObserver(), IID_IVALUE));
}

TEST_F(ComponentModel, FailedCommandInASequenceIsRolledBackAlone) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  InterfacePtr<IValue> value(static_cast<IValue*>(target.Instantiate(IID_IVALUE)));
  ICommandSequence* sequence = CmdUtils::BeginCommandSequence();
  SetThroughCommand(target, 1);
  EXPECT_EQ(SetThroughCommand(target, -1), kFailure);
  EXPECT_EQ(value->Get(), 1);
  SetThroughCommand(target, 2);
  CmdUtils::EndCommandSequence(sequence);
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_EQ(value->Get(), 0);
  ASSERT_TRUE(CmdUtils::RedoLast(&db));
  EXPECT_EQ(value->Get(), 2);
}

TEST_F(ComponentModel, HistoryKeepsTheNewestStepsWithinItsBounds) {
  struct Case {
    layra::UndoLimits limits;
    int undoable;
  };
  // A step of this value holds four bytes, eight once undone (the state redo brings back):
  // of two steps kept in eight bytes, undoing the newer one drops the older.
  for (const Case& c : {Case{{3, 1000}, 3}, Case{{100, 8}, 1}, Case{{0, 1000}, 0}}) {
    fHost->SetUndoLimits(c.limits);
    layra::DataBase db;
    const UIDRef target(&db, db.NewUID(kValueBoss));
    for (std::int32_t value = 1; value <= 5; ++value)
      SetThroughCommand(target, value);
    EXPECT_LE(fHost->UndoHistoryBytes(&db), c.limits.bytes);
    int undone = 0;
    while (CmdUtils::UndoLast(&db))
      ++undone;
    EXPECT_EQ(undone, c.undoable);
    EXPECT_EQ(InterfacePtr<IValue>(static_cast<IValue*>(target.Instantiate(IID_IVALUE)))->Get(),
              5 - c.undoable);
  }
}

TEST_F(ComponentModel, UndoOrRedoBackToTheSavedStateLeavesTheDatabaseUnmodified) {
  layra::DataBase db;
  const UIDRef target(&db, db.NewUID(kValueBoss));
  db.MarkSaved();
  SetThroughCommand(target, 1);
  EXPECT_TRUE(db.IsModified());
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_FALSE(db.IsModified());
  ASSERT_TRUE(CmdUtils::RedoLast(&db));
  EXPECT_TRUE(db.IsModified());
  db.MarkSaved();
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_TRUE(db.IsModified());
  ASSERT_TRUE(CmdUtils::RedoLast(&db));
  EXPECT_FALSE(db.IsModified());
  // A change made after undoing past the saved state drops the way back to it.
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  SetThroughCommand(target, 2);
  ASSERT_TRUE(CmdUtils::UndoLast(&db));
  EXPECT_TRUE(db.IsModified());

  // Saved with nothing to undo; the steps after it that the bounds drop cannot be undone,
  // so undoing all that is left does not get back to the saved state.
  fHost->SetUndoLimits({2, 1000});
  layra::DataBase bounded;
  const UIDRef value(&bounded, bounded.NewUID(kValueBoss));
  bounded.MarkSaved();
  for (std::int32_t next = 1; next <= 3; ++next)
    SetThroughCommand(value, next);
  while (CmdUtils::UndoLast(&bounded)) {
  }
  EXPECT_TRUE(bounded.IsModified());
}

TEST_F(ComponentModel, EveryInterfaceOfTheSessionAnswersForAllTheOthers) {
  const PMIID interfaces[] = {IID_IUNKNOWN, IID_ISESSION, IID_IOBJECTMODEL,
                              IID_IIMPLEMENTATIONREGISTRY};
  InterfacePtr<IPMUnknown> identity(GetExecutionContextSession(), IID_IUNKNOWN);
  for (PMIID from : interfaces) {
    InterfacePtr<IPMUnknown> start(GetExecutionContextSession(), from);
    ASSERT_TRUE(start) << from.Get();
    for (PMIID to : interfaces) {
      InterfacePtr<IPMUnknown> sibling(start, to);
      ASSERT_TRUE(sibling) << from.Get() << " -> " << to.Get();
      EXPECT_EQ(InterfacePtr<IPMUnknown>(sibling, IID_IUNKNOWN).get(), identity.get());
    }
  }
}

} // namespace
