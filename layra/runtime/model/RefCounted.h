#pragma once
// Host objects that are not bosses: one object, one or more interfaces, its
// own reference count.

#include <layra/IPMUnknown.h>

namespace layra {

template <class Interface> class RefCounted : public Interface {
public:
  RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

  IPMUnknown* QueryInterface(PMIID iid) const override {
    IPMUnknown* found = FindInterface(iid);
    if (found)
      found->AddRef();
    return found;
  }
  void AddRef() const override { ++fReferences; }
  void Release() const override {
    if (--fReferences == 0)
      delete this;
  }

protected:
  virtual IPMUnknown* FindInterface(PMIID iid) const {
    if (iid == IID_IUNKNOWN || iid == Interface::kDefaultIID)
      return const_cast<RefCounted*>(this);
    return nullptr;
  }

private:
  mutable int fReferences = 1;
};

/** A further interface of a host object that is not a boss: it shares the object's count and
 *  its queries, so any interface of the object answers for all the others. */
template <class Interface> class SiblingInterface : public Interface {
public:
  explicit SiblingInterface(const IPMUnknown& owner) : fOwner(owner) {}
  SiblingInterface(const SiblingInterface&) = delete;
  SiblingInterface& operator=(const SiblingInterface&) = delete;

  IPMUnknown* QueryInterface(PMIID iid) const override { return fOwner.QueryInterface(iid); }
  void AddRef() const override { fOwner.AddRef(); }
  void Release() const override { fOwner.Release(); }

private:
  const IPMUnknown& fOwner;
};

} // namespace layra
