#pragma once
// The suite over one kind of selection; subclasses say which page items it acts on.

#include "advert/IAdvertisementAttributesSuite.h"

#include <layra/CPMUnknown.h>

class QUORAdvertisementCBS : public CPMUnknown<IAdvertisementAttributesSuite> {
public:
  explicit QUORAdvertisementCBS(IPMUnknown* boss)
      : CPMUnknown<IAdvertisementAttributesSuite>(boss) {}

  bool16 CanApplyAttributes() override;
  ErrorCode ApplyAttributeText(const PMString& text) override;
  bool16 CanGetAttributes() override;
  void GetAttributeValues(PMString& key, K2Vector<PMString>& values) override;
  void GetTargetItemList(UIDList* items) override;
  void SetAttributeValue(PMString& key, PMString& value) override;
  bool16 GetTextSelection(int32* start, int32* end) override;

  ~QUORAdvertisementCBS() override = default;
  /** The page items the suite acts on, all of one database; empty when there are none. */
  virtual void GetTargetItems(UIDList& items) = 0;

private:
  UIDList TargetItems();
};
