#pragma once
// The suite callers get from the selection: forwards every operation to the concrete
// suites of the current selection.

#include "advert/IAdvertisementAttributesSuite.h"

#include <layra/CPMUnknown.h>

class QUORAdvertisementSuitAbstractCSB : public CPMUnknown<IAdvertisementAttributesSuite> {
public:
  explicit QUORAdvertisementSuitAbstractCSB(IPMUnknown* boss)
      : CPMUnknown<IAdvertisementAttributesSuite>(boss) {}

  bool16 CanApplyAttributes() override;
  ErrorCode ApplyAttributeText(const PMString& text) override;
  bool16 CanGetAttributes() override;
  void GetAttributeValues(PMString& key, K2Vector<PMString>& values) override;
  void GetTargetItemList(UIDList* items) override;
  void SetAttributeValue(PMString& key, PMString& value) override;
  bool16 GetTextSelection(int32* start, int32* end) override;
  ~QUORAdvertisementSuitAbstractCSB() override = default;
};
