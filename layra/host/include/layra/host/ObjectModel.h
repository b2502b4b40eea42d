#pragma once
// The host's side of the component model: which implementations exist, which
// classes aggregate them, and the bosses built from them.

#include <layra/CPMUnknown.h>
#include <layra/HostIDs.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class IPMStream;

namespace layra {

class DataBase;
class SnapshotSource;

struct InterfaceBinding {
  PMIID iid;
  ImplementationID implementation;
};

struct ClassDescription {
  ClassID id;
  ClassID parent = kInvalidClass;
  std::string name;
  PluginID plugin;
  std::vector<InterfaceBinding> interfaces;
};

struct RegisteredImplementation {
  PluginID plugin;
  ImplementationRecord record;
};

/** The record that creates, destroys and sizes `Impl` under `id`. */
template <class Impl> ImplementationRecord RecordOf(ImplementationID id) {
  return ImplementationRecord{id, &CreateImplementation<Impl>, &DestroyImplementation<Impl>,
                              &SizeOfImplementation<Impl>};
}

/** One object made of the implementations its class names; one reference count for all.
 *
 *  Once the count reaches zero the boss is dying: further AddRef and Release have no effect,
 *  queries answer null and no implementation is created, so an implementation's destructor
 *  that reaches for its own boss cannot bring it back or free it twice. */
class Boss final : public IPMUnknown {
public:
  struct Slot {
    PMIID iid;
    const RegisteredImplementation* implementation = nullptr;
    IPMUnknown* object = nullptr;
    void* memory = nullptr;
  };

  Boss(ClassID classID, std::vector<Slot> slots);
  ~Boss() override;

  IPMUnknown* QueryInterface(PMIID iid) const override;
  void AddRef() const override;
  void Release() const override;

  /** Stays true until the boss starts dying; holders of a weak reference check it. */
  std::shared_ptr<const bool> Alive() const { return fAlive; }

  ClassID GetClass() const { return fClass; }
  DataBase* GetDataBase() const { return fDataBase; }
  UID GetUID() const { return fUID; }
  void SetPersistentHome(DataBase* db, UID uid) {
    fDataBase = db;
    fUID = uid;
  }

  /** The implementations that can stream themselves, created if needed. */
  std::vector<ImplementationID> PersistentImplementations() const;
  ImplementationID ImplementationOf(const IPMUnknown* object) const;
  bool HasImplementation(ImplementationID id) const;
  /** Streams one implementation out. */
  std::vector<unsigned char> Save(ImplementationID id) const;
  /** Replaces one implementation by a fresh object in the same memory and lets it read
   *  `bytes`. False when the data are damaged; the implementation is then left fresh. */
  bool Restore(ImplementationID id, const std::vector<unsigned char>& bytes);
  /** Replaces one implementation by a fresh object in the same memory. */
  void Reset(ImplementationID id);

  /** One implementation's state, or some parts of it, as the undo history keeps it: streamed
   *  out (always whole), or handed out by the implementation itself when it is a
   *  SnapshotSource. */
  struct State {
    std::vector<unsigned char> bytes;
    std::shared_ptr<const void> held;
    std::size_t heldBytes = 0;
    SnapshotParts parts = kWholeState;
    std::size_t Size() const { return bytes.size() + heldBytes; }
  };
  State Capture(ImplementationID id, SnapshotParts parts) const;
  /** Capture of those of `parts` that the undo history's change `change` has not captured
   *  yet: a change keeps the first state of each part only. */
  std::optional<State> CaptureOnce(ImplementationID id, std::uint64_t change, SnapshotParts parts);
  /** Brings back a state Capture returned; false when streamed data are damaged. */
  bool Restore(ImplementationID id, const State& state);

private:
  Slot* FindSlot(ImplementationID id) const;
  // What the undo history keeps per slot. Apart from the slots, which every query walks
  // and which stay small for it.
  struct Captured {
    // The object as a SnapshotSource (or null), found once per object: a cross-cast costs
    // more than the snapshot it leads to.
    const IPMUnknown* castObject = nullptr;
    SnapshotSource* snapshots = nullptr;
    // The change of the undo history that last captured the slot, and the parts it did.
    std::uint64_t change = 0;
    SnapshotParts parts = 0;
  };

  IPMUnknown* Materialize(Slot& slot) const;
  Captured& CapturedOf(const Slot& slot) const;
  SnapshotSource* SnapshotSourceOf(Slot& slot) const;
  State Capture(Slot& slot, SnapshotParts parts) const;
  void Destroy(Slot& slot) const;

  ClassID fClass;
  mutable std::vector<Slot> fSlots;
  mutable std::vector<Slot*> fCreationOrder;
  mutable int fReferences = 1;
  mutable bool fDying = false;
  std::shared_ptr<bool> fAlive = std::make_shared<bool>(true);
  DataBase* fDataBase = nullptr;
  UID fUID = kInvalidUID;
  mutable std::unique_ptr<Captured[]> fCaptured; // made on the first capture
};

/** Process-wide registry of implementations and classes. */
class LAYRA_API ObjectModel {
public:
  static ObjectModel& Instance();

  [[nodiscard]] bool RegisterImplementation(PluginID plugin, const ImplementationRecord& record);
  const RegisteredImplementation* FindImplementation(ImplementationID id) const;
  std::int32_t CountImplementations() const { return static_cast<std::int32_t>(fImpls.size()); }

  void AddClass(const ClassDescription& description);
  void AddInterfaceToClass(ClassID target, const InterfaceBinding& binding, PluginID plugin);
  bool IsClassKnown(ClassID id) const { return fClasses.count(id) != 0; }
  const ClassDescription* FindClass(ClassID id) const;
  /** Classes whose interfaces include `iid`, by their own, inherited or added interfaces. */
  std::vector<ClassID> ClassesWithInterface(PMIID iid) const;
  /** The implementation that serves `iid` on `classID`, or an invalid ID. */
  ImplementationID ImplementationFor(ClassID classID, PMIID iid) const;

  /** A new boss with one reference; null when the class is unknown. */
  Boss* CreateBoss(ClassID classID) const;

  /** Forgets the implementations of a plug-in that failed to load. */
  void RemovePlugin(PluginID plugin);
  void Clear();

private:
  std::vector<InterfaceBinding> Resolve(ClassID classID) const;

  std::map<ImplementationID, RegisteredImplementation> fImpls;
  std::map<ClassID, ClassDescription> fClasses;
  std::map<ClassID, std::vector<InterfaceBinding>> fAddIns;
};

/** The boss behind any interface of it; null for host objects that are not bosses. */
LAYRA_API Boss* BossOf(const IPMUnknown* object);

} // namespace layra
