#pragma once
// Base of a dialog's observer: listens to the dialog's OK and Cancel buttons and has the
// host confirm or cancel the dialog when one is pressed.

#include <layra/CWidgetObserver.h>

class LAYRA_API CDialogObserver : public CWidgetObserver {
public:
  explicit CDialogObserver(IPMUnknown* boss, PMIID observerIID = IID_IOBSERVER)
      : CWidgetObserver(boss, observerIID) {}

  void AutoAttach() override;
  void AutoDetach() override;
  void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
              void* changedBy) override;
};
