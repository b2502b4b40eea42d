#include <layra/host/ObjectModel.h>

#include "../storage/Streams.h"
#include "MainThread.h"
#include "UndoHistory.h"

#include <layra/IObjectModel.h>
#include <layra/SnapshotSource.h>
#include <layra/StreamUtil.h>

#include <algorithm>
#include <cstdio>
#include <new>

namespace layra {
namespace {

constexpr std::align_val_t kImplementationAlignment{alignof(std::max_align_t)};

} // namespace

Boss::Boss(ClassID classID, std::vector<Slot> slots) : fClass(classID), fSlots(std::move(slots)) {}

Boss::~Boss() {
  for (auto slot = fCreationOrder.rbegin(); slot != fCreationOrder.rend(); ++slot)
    Destroy(**slot);
}

IPMUnknown* Boss::QueryInterface(PMIID iid) const {
  LAYRA_ASSERT_MAIN_THREAD();
  if (fDying)
    return nullptr;
  if (iid == IID_IUNKNOWN) {
    AddRef();
    return const_cast<Boss*>(this);
  }
  for (Slot& slot : fSlots) {
    if (slot.iid != iid)
      continue;
    IPMUnknown* object = Materialize(slot);
    if (object)
      AddRef();
    return object;
  }
  return nullptr;
}

void Boss::AddRef() const {
  LAYRA_ASSERT_MAIN_THREAD();
  if (!fDying)
    ++fReferences;
}

void Boss::Release() const {
  LAYRA_ASSERT_MAIN_THREAD();
  if (fDying || --fReferences > 0)
    return;
  fDying = true;
  *fAlive = false;
  delete this;
}

IPMUnknown* Boss::Materialize(Slot& slot) const {
  if (slot.object || fDying)
    return slot.object;
  const ImplementationRecord& record = slot.implementation->record;
  slot.memory = ::operator new(record.size(), kImplementationAlignment);
  slot.object = record.create(slot.memory, const_cast<Boss*>(this));
  fCreationOrder.push_back(&slot);
  return slot.object;
}

void Boss::Destroy(Slot& slot) const {
  if (!slot.object)
    return;
  slot.implementation->record.destroy(slot.object);
  ::operator delete(slot.memory, kImplementationAlignment);
  slot.object = nullptr;
  slot.memory = nullptr;
}

Boss::Slot* Boss::FindSlot(ImplementationID id) const {
  for (Slot& slot : fSlots) {
    if (slot.implementation->record.id == id)
      return &slot;
  }
  return nullptr;
}

std::vector<ImplementationID> Boss::PersistentImplementations() const {
  std::vector<ImplementationID> ids;
  for (const Slot& slot : fSlots) {
    const ImplementationRecord& record = slot.implementation->record;
    if (record.persist && std::find(ids.begin(), ids.end(), record.id) == ids.end())
      ids.push_back(record.id);
  }
  return ids;
}

ImplementationID Boss::ImplementationOf(const IPMUnknown* object) const {
  for (const Slot& slot : fSlots) {
    if (slot.object == object)
      return slot.implementation->record.id;
  }
  return ImplementationID{};
}

bool Boss::HasImplementation(ImplementationID id) const {
  return FindSlot(id) != nullptr;
}

std::vector<unsigned char> Boss::Save(ImplementationID id) const {
  Slot* slot = FindSlot(id);
  if (!slot || !slot->implementation->record.persist)
    return {};
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamWrite());
  slot->implementation->record.persist(Materialize(*slot), stream, id);
  return TakeMemoryStreamBytes(stream);
}

void Boss::Reset(ImplementationID id) {
  Slot* slot = FindSlot(id);
  if (!slot || !slot->object)
    return;
  // The object is rebuilt in the memory it had, so pointers others hold stay valid.
  const ImplementationRecord& record = slot->implementation->record;
  record.destroy(slot->object);
  slot->object = record.create(slot->memory, this);
}

bool Boss::Restore(ImplementationID id, const std::vector<unsigned char>& bytes) {
  Slot* slot = FindSlot(id);
  if (!slot || !slot->implementation->record.persist)
    return false;
  Materialize(*slot);
  Reset(id);
  InterfacePtr<IPMStream> stream(StreamUtil::CreateMemoryStreamRead(bytes));
  slot->implementation->record.persist(slot->object, stream, id);
  if (stream->IsGood())
    return true;
  Reset(id);
  return false;
}

Boss::Captured& Boss::CapturedOf(const Slot& slot) const {
  if (!fCaptured)
    fCaptured = std::make_unique<Captured[]>(fSlots.size());
  return fCaptured[static_cast<std::size_t>(&slot - fSlots.data())];
}

SnapshotSource* Boss::SnapshotSourceOf(Slot& slot) const {
  IPMUnknown* object = Materialize(slot);
  Captured& captured = CapturedOf(slot);
  if (captured.castObject != object) {
    captured.snapshots = dynamic_cast<SnapshotSource*>(object);
    captured.castObject = object;
  }
  return captured.snapshots;
}

std::optional<Boss::State> Boss::CaptureOnce(ImplementationID id, std::uint64_t change,
                                             SnapshotParts parts) {
  Slot* slot = FindSlot(id);
  if (!slot)
    return std::nullopt;
  Captured& captured = CapturedOf(*slot);
  if (captured.change != change) {
    captured.change = change;
    captured.parts = 0;
  }
  const SnapshotParts missing = parts & ~captured.parts;
  if (!missing)
    return std::nullopt;
  State state = Capture(*slot, missing);
  captured.parts |= state.parts;
  return state;
}

Boss::State Boss::Capture(ImplementationID id, SnapshotParts parts) const {
  Slot* slot = FindSlot(id);
  return slot ? Capture(*slot, parts) : State{};
}

Boss::State Boss::Capture(Slot& slot, SnapshotParts parts) const {
  if (!slot.implementation->record.persist)
    return {};
  const SnapshotSource* source = SnapshotSourceOf(slot);
  if (!source)
    return State{Save(slot.implementation->record.id), nullptr, 0, kWholeState};
  State state;
  state.held = source->TakeSnapshot(parts, state.heldBytes);
  state.parts = parts;
  return state;
}

bool Boss::Restore(ImplementationID id, const State& state) {
  if (!state.held)
    return Restore(id, state.bytes);
  Slot* slot = FindSlot(id);
  SnapshotSource* source = slot ? SnapshotSourceOf(*slot) : nullptr;
  if (!source)
    return false;
  source->RestoreSnapshot(state.held);
  return true;
}

SnapshotSource::~SnapshotSource() = default;

ObjectModel& ObjectModel::Instance() {
  static ObjectModel model;
  return model;
}

bool ObjectModel::RegisterImplementation(PluginID plugin, const ImplementationRecord& record) {
  if (!record.id.IsValid() || !record.create || !record.destroy || !record.size)
    return false;
  return fImpls.emplace(record.id, RegisteredImplementation{plugin, record}).second;
}

const RegisteredImplementation* ObjectModel::FindImplementation(ImplementationID id) const {
  auto found = fImpls.find(id);
  return found == fImpls.end() ? nullptr : &found->second;
}

void ObjectModel::AddClass(const ClassDescription& description) {
  fClasses[description.id] = description;
}

void ObjectModel::AddInterfaceToClass(ClassID target, const InterfaceBinding& binding, PluginID) {
  fAddIns[target].push_back(binding);
}

const ClassDescription* ObjectModel::FindClass(ClassID id) const {
  auto found = fClasses.find(id);
  return found == fClasses.end() ? nullptr : &found->second;
}

std::vector<InterfaceBinding> ObjectModel::Resolve(ClassID classID) const {
  std::vector<InterfaceBinding> bindings;
  auto add = [&bindings](const std::vector<InterfaceBinding>& more) {
    for (const InterfaceBinding& binding : more) {
      auto same = [&](const InterfaceBinding& b) { return b.iid == binding.iid; };
      if (std::none_of(bindings.begin(), bindings.end(), same))
        bindings.push_back(binding);
    }
  };
  // A class's own interfaces win over those it inherits; a cycle of parents ends the walk.
  std::vector<ClassID> visited;
  for (const ClassDescription* description = FindClass(classID); description;
       description = FindClass(description->parent)) {
    if (std::find(visited.begin(), visited.end(), description->id) != visited.end())
      break;
    visited.push_back(description->id);
    add(description->interfaces);
    if (auto addIns = fAddIns.find(description->id); addIns != fAddIns.end())
      add(addIns->second);
  }
  return bindings;
}

std::vector<ClassID> ObjectModel::ClassesWithInterface(PMIID iid) const {
  std::vector<ClassID> classes;
  for (const auto& [id, description] : fClasses) {
    if (ImplementationFor(id, iid).IsValid())
      classes.push_back(id);
  }
  return classes;
}

ImplementationID ObjectModel::ImplementationFor(ClassID classID, PMIID iid) const {
  for (const InterfaceBinding& binding : Resolve(classID)) {
    if (binding.iid == iid)
      return binding.implementation;
  }
  return ImplementationID{};
}

Boss* ObjectModel::CreateBoss(ClassID classID) const {
  if (!IsClassKnown(classID))
    return nullptr;
  std::vector<Boss::Slot> slots;
  for (const InterfaceBinding& binding : Resolve(classID)) {
    const RegisteredImplementation* implementation = FindImplementation(binding.implementation);
    if (!implementation) {
      std::fprintf(stderr, "layra: class 0x%x names implementation 0x%x, which no plug-in has\n",
                   classID.Get(), binding.implementation.Get());
      continue;
    }
    slots.push_back(Boss::Slot{binding.iid, implementation});
  }
  return new Boss(classID, std::move(slots));
}

void ObjectModel::RemovePlugin(PluginID plugin) {
  std::erase_if(fImpls, [plugin](const auto& entry) { return entry.second.plugin == plugin; });
}

void ObjectModel::Clear() {
  fImpls.clear();
  fClasses.clear();
  fAddIns.clear();
}

Boss* BossOf(const IPMUnknown* object) {
  if (!object)
    return nullptr;
  IPMUnknown* unknown = object->QueryInterface(IID_IUNKNOWN);
  if (!unknown)
    return nullptr;
  auto boss = dynamic_cast<Boss*>(unknown);
  unknown->Release();
  return boss;
}

void PreDirty(const IPMUnknown* boss, const IPMUnknown* implementation, SnapshotParts parts) {
  Boss* owner = BossOf(boss);
  if (!owner)
    return;
  UndoHistory::Instance().RecordChange(*owner, owner->ImplementationOf(implementation), parts);
}

} // namespace layra

IPMUnknown* CreateObject(ClassID classID, PMIID iid) {
  layra::Boss* boss = layra::ObjectModel::Instance().CreateBoss(classID);
  if (!boss)
    return nullptr;
  IPMUnknown* found = boss->QueryInterface(iid);
  boss->Release();
  return found;
}
