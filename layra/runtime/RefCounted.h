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

} // namespace layra
