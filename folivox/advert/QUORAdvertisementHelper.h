#pragma once
// List operations over page items that may carry advertisement attributes; items without
// them are skipped unless an operation says otherwise.

#include <layra/K2Vector.h>
#include <layra/PMString.h>
#include <layra/UIDRef.h>
#include <layra/WidgetDefs.h>

class QUORAdvertisementHelper {
public:
  virtual ~QUORAdvertisementHelper() = default;

  /** True as soon as one item carries attributes. */
  virtual bool16 HasAttributes(const UIDList& items);
  /** Appends each distinct value of `key` over the items, in order of first occurrence;
   *  values already in `values` count as present. */
  virtual void CollectValues(const UIDList& items, const PMString& key, K2Vector<PMString>& values);
  /** Sets the value directly on every item; not undoable. */
  virtual void SetValues(const UIDList& items, const PMString& key, const PMString& value);
  /** Removes the items without attributes. */
  virtual void KeepItemsWithAttributes(UIDList& items);
  /** Sets the attribute text through the undoable command; 1 when it cannot be run. */
  virtual ErrorCode ApplyAttributeText(const UIDList& items, const PMString& text);
};
