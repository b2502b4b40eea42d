#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/PMPoint.h>

class IActiveContext;

class IActionManager : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IACTIONMANAGER;
  /** Runs the action on the component that owns it, before returning. False when no plug-in
   *  declares the action. */
  virtual bool PerformAction(IActiveContext* context, ActionID action,
                             GSysPoint mousePoint = kInvalidMousePoint,
                             IPMUnknown* widget = nullptr) = 0;
  virtual bool IsActionKnown(ActionID action) const = 0;
};
