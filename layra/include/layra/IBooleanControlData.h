#pragma once
// The check state of a check box, an expander, or a button. Turning on sends
// kTrueStateMessage, turning off kFalseStateMessage, on IID_IBOOLEANCONTROLDATA; only a real
// change is announced. A push button is never left on: selecting it announces a press on
// IID_IBOOLEANCONTROLDATA and IID_IBUTTONDATA.

#include <layra/IPMUnknown.h>
#include <layra/WidgetDefs.h>

class IBooleanControlData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IBOOLEANCONTROLDATA;

  virtual bool16 IsSelected() const = 0;
  virtual void Select(bool16 notifyOfChange = kTrue, bool16 invalidate = kTrue) = 0;
  virtual void Deselect(bool16 notifyOfChange = kTrue, bool16 invalidate = kTrue) = 0;
};
