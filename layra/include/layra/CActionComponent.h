#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IActionComponent.h>

class CActionComponent : public CPMUnknown<IActionComponent> {
public:
  explicit CActionComponent(IPMUnknown* boss) : CPMUnknown<IActionComponent>(boss) {}
  void DoAction(IActiveContext*, ActionID, GSysPoint, IPMUnknown*) override {}
};
