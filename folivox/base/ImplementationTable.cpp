#include "base/ImplementationTable.h"

namespace folivox {
namespace {
// A function-local static is ready before any registrar of another file runs.
const RegistrationRecord*& Head() {
  static const RegistrationRecord* head = nullptr;
  return head;
}
} // namespace

const RegistrationRecord* ImplementationTableHead() {
  return Head();
}

void PushImplementation(RegistrationRecord* record) {
  record->next = Head();
  Head() = record;
}

} // namespace folivox
