#pragma once
// The suite over a text selection: the page items of the frames that show the selected text.

#include "advert/QUORAdvertisementCBS.h"

class QUORAdvertisementSuitTextCSB : public QUORAdvertisementCBS {
public:
  explicit QUORAdvertisementSuitTextCSB(IPMUnknown* boss) : QUORAdvertisementCBS(boss) {}
  ~QUORAdvertisementSuitTextCSB() override = default;
  void GetTargetItems(UIDList& items) override;
};
