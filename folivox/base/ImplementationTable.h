#pragma once
// The plug-in's implementation table: a singly linked list of registration
// records, each pushed at the head by a static object before any call from
// the host, so the list runs in reverse order of construction.

#include <layra/CPMUnknown.h>

namespace folivox {

struct RegistrationRecord {
  ImplementationRecord record;
  const RegistrationRecord* next = nullptr;
};

/** Head of the list; null while nothing is registered. */
const RegistrationRecord* ImplementationTableHead();
void PushImplementation(RegistrationRecord* record);

/** A static object of this type adds `Impl` to the table. */
template <class Impl> class RegisterImplementation {
public:
  explicit RegisterImplementation(ImplementationID id, bool persistent = false) {
    ImplementationRecord::PersistFunction persist = nullptr;
    if constexpr (requires(Impl & impl, IPMStream * stream) { impl.ReadWrite(stream, id); }) {
      if (persistent)
        persist = &layra::PersistImplementation<Impl>;
    }
    fRecord.record = ImplementationRecord{id,
                                          &layra::CreateImplementation<Impl>,
                                          &layra::DestroyImplementation<Impl>,
                                          &layra::SizeOfImplementation<Impl>,
                                          persist,
                                          nullptr,
                                          0};
    PushImplementation(&fRecord);
  }

private:
  RegistrationRecord fRecord;
};

} // namespace folivox
