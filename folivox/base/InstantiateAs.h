#pragma once
// An object of a document or of the workspace, by its database reference, as one of its
// interfaces.

#include <layra/IPMUnknown.h>
#include <layra/UIDRef.h>

namespace folivox {

/** The object's `T`; null when the object does not exist or does not carry `T`. */
template <class T> InterfacePtr<T> InstantiateAs(const UIDRef& object) {
  return InterfacePtr<T>(static_cast<T*>(object.Instantiate(T::kDefaultIID)));
}

} // namespace folivox
