#include "prefs/PnlTrvFileNodeID.h"

PnlTrvFileNodeID::~PnlTrvFileNodeID() = default;

std::int32_t PnlTrvFileNodeID::Compare(const NodeIDClass* other) const {
  return fName.Compare(false, static_cast<const PnlTrvFileNodeID*>(other)->fName);
}

void PnlTrvFileNodeID::Read(IPMStream* stream) {
  fName.ReadWrite(stream);
}

void PnlTrvFileNodeID::Write(IPMStream* stream) const {
  PMString name(fName);
  name.ReadWrite(stream);
}
