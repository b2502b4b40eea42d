#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMPoint.h>

class IActiveContext;

class IActionComponent : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IACTIONCOMPONENT;
  virtual void DoAction(IActiveContext* context, ActionID action, GSysPoint mousePoint,
                        IPMUnknown* widget) = 0;
};
