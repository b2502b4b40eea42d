#pragma once
// Advertisement attributes of whatever is selected: page items of a layout selection or
// the frames that show a text selection. Callers get it from the selection's integrator.

#include "base/FolivoxIDs.h"

#include <layra/IPMUnknown.h>
#include <layra/K2Vector.h>
#include <layra/PMString.h>
#include <layra/UIDRef.h>
#include <layra/WidgetDefs.h>

class IAdvertisementAttributesSuite : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IADVERTISEMENTATTRIBUTESSUITE;

  virtual bool16 CanApplyAttributes() = 0;
  /** 0 when the text was set through an undoable command; 1 when nothing could take it. */
  virtual ErrorCode ApplyAttributeText(const PMString& text) = 0;
  virtual bool16 CanGetAttributes() = 0;
  /** Appends the distinct values of `key` over the target items. */
  virtual void GetAttributeValues(PMString& key, K2Vector<PMString>& values) = 0;
  /** Copies the target items into `items`; leaves it alone when there are none. */
  virtual void GetTargetItemList(UIDList* items) = 0;
  /** Sets a value on every target item directly; not undoable. */
  virtual void SetAttributeValue(PMString& key, PMString& value) = 0;
  /** The range of a text selection; false without one. */
  virtual bool16 GetTextSelection(int32* start, int32* end) = 0;
};
