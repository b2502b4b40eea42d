#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IResponder.h>

class CResponder : public CPMUnknown<IResponder> {
public:
  explicit CResponder(IPMUnknown* boss) : CPMUnknown<IResponder>(boss) {}
  void Respond(ISignalMgr*) override {}
};
