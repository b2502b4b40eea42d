#pragma once
// The root of every interface, and the smart pointer that holds exactly one
// reference to an interface.

#include <layra/IDs.h>

#include <concepts>
#include <utility>

constexpr PMIID IID_IUNKNOWN{0x0};

class IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IUNKNOWN;

  /** The interface `iid` of the same object, with one reference for the caller; null when absent.
   */
  virtual IPMUnknown* QueryInterface(PMIID iid) const = 0;
  virtual void AddRef() const = 0;
  virtual void Release() const = 0;

protected:
  virtual ~IPMUnknown() = default;
};

/** Tag that asks `InterfacePtr` to query the interface's own default IID. */
struct UseDefaultIID {};

template <class T>
concept HasDefaultIID = std::derived_from<T, IPMUnknown> && requires {
  { T::kDefaultIID } -> std::convertible_to<PMIID>;
};

template <class T> class InterfacePtr {
public:
  InterfacePtr() = default;
  /** Adopts a pointer that already carries one reference (a Query... or Create... result). */
  explicit InterfacePtr(T* adopted) : fPtr(adopted) {}
  InterfacePtr(const IPMUnknown* object, PMIID iid) : fPtr(Query(object, iid)) {}
  InterfacePtr(const IPMUnknown* object, UseDefaultIID) requires HasDefaultIID<T>
      : fPtr(Query(object, T::kDefaultIID)) {}
  template <class U>
  InterfacePtr(const InterfacePtr<U>& other, UseDefaultIID) requires HasDefaultIID<T>
      : fPtr(Query(other.get(), T::kDefaultIID)) {}

  InterfacePtr(const InterfacePtr& other) : fPtr(other.fPtr) {
    if (fPtr)
      fPtr->AddRef();
  }
  InterfacePtr(InterfacePtr&& other) noexcept : fPtr(std::exchange(other.fPtr, nullptr)) {}
  InterfacePtr& operator=(InterfacePtr other) noexcept {
    std::swap(fPtr, other.fPtr);
    return *this;
  }
  ~InterfacePtr() { reset(); }

  T* get() const { return fPtr; }
  T* operator->() const { return fPtr; }
  T& operator*() const { return *fPtr; }
  explicit operator bool() const { return fPtr != nullptr; }
  operator T*() const { return fPtr; }

  /** Gives up the reference without releasing it. */
  T* forget() { return std::exchange(fPtr, nullptr); }
  void reset(T* adopted = nullptr) {
    if (T* old = std::exchange(fPtr, adopted))
      old->Release();
  }

private:
  static T* Query(const IPMUnknown* object, PMIID iid) {
    return object ? static_cast<T*>(object->QueryInterface(iid)) : nullptr;
  }

  T* fPtr = nullptr;
};
