#pragma once
// The suite over a layout selection: the selected page items.

#include "advert/QUORAdvertisementCBS.h"

class QUORAdvertisementSuitLayoutCSB : public QUORAdvertisementCBS {
public:
  explicit QUORAdvertisementSuitLayoutCSB(IPMUnknown* boss) : QUORAdvertisementCBS(boss) {}
  ~QUORAdvertisementSuitLayoutCSB() override = default;
  void GetTargetItems(UIDList& items) override;
};
