#pragma once
// Base of every implementation that lives in a boss: the boss owns the
// reference count and answers queries for all its implementations.

#include <layra/Export.h>
#include <layra/IPMUnknown.h>
#include <layra/SnapshotSource.h>

#include <cstddef>
#include <cstdint>
#include <new>

class IPMStream;

namespace layra {
/** Tells the host that `parts` of `implementation` of `boss` are about to change (undo
 *  snapshot, dirty mark). */
LAYRA_API void PreDirty(const IPMUnknown* boss, const IPMUnknown* implementation,
                        SnapshotParts parts = kWholeState);
} // namespace layra

template <class Interface> class CPMUnknown : public Interface {
public:
  explicit CPMUnknown(IPMUnknown* boss) : fBoss(boss) {}
  CPMUnknown(const CPMUnknown&) = delete;
  CPMUnknown& operator=(const CPMUnknown&) = delete;

  IPMUnknown* QueryInterface(PMIID iid) const override { return fBoss->QueryInterface(iid); }
  void AddRef() const override { fBoss->AddRef(); }
  void Release() const override { fBoss->Release(); }

protected:
  void PreDirty(layra::SnapshotParts parts = layra::kWholeState) const {
    layra::PreDirty(fBoss, this, parts);
  }
  IPMUnknown* Boss() const { return fBoss; }

private:
  IPMUnknown* fBoss;
};

/** How a plug-in makes one implementation known: the host allocates `size()` bytes and
 *  calls `create` in them, `destroy` before freeing them, and `persist` to stream it. */
struct ImplementationRecord {
  using CreateFunction = IPMUnknown* (*)(void* memory, IPMUnknown* boss);
  using DestroyFunction = void (*)(IPMUnknown* object);
  using SizeFunction = std::size_t (*)();
  using PersistFunction = void (*)(IPMUnknown* object, IPMStream* stream, ImplementationID id);

  ImplementationID id;
  CreateFunction create = nullptr;
  DestroyFunction destroy = nullptr;
  SizeFunction size = nullptr;
  PersistFunction persist = nullptr;
  const void* reserved = nullptr;
  std::int32_t reservedFlags = 0;
};

namespace layra {
template <class Impl> IPMUnknown* CreateImplementation(void* memory, IPMUnknown* boss) {
  return new (memory) Impl(boss);
}
template <class Impl> void DestroyImplementation(IPMUnknown* object) {
  static_cast<Impl*>(object)->~Impl();
}
template <class Impl> std::size_t SizeOfImplementation() {
  return sizeof(Impl);
}
template <class Impl>
void PersistImplementation(IPMUnknown* object, IPMStream* stream, ImplementationID id) {
  static_cast<Impl*>(object)->ReadWrite(stream, id);
}
} // namespace layra
