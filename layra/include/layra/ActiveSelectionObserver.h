#pragma once
// Base of a panel observer that hears when the front document or its selection changes.
// AutoAttach attaches to the host's active-selection subject; Update hands every change to
// HandleSelectionUpdate, which calls HandleSelectionChanged or HandleSelectionAttributeChanged
// for changes of the active selection.

#include <layra/CWidgetObserver.h>

class ISubject;

/** What a selection change is about. */
struct ISelectionMessage {
  ClassID message;
};

class LAYRA_API ActiveSelectionObserver : public CWidgetObserver {
public:
  explicit ActiveSelectionObserver(IPMUnknown* boss, PMIID observerIID = IID_IOBSERVER)
      : CWidgetObserver(boss, observerIID) {}

  void AutoAttach() override;
  void AutoDetach() override;
  void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
              void* changedBy) override;

protected:
  virtual void HandleSelectionUpdate(const ClassID& theChange, ISubject* theSubject,
                                     const PMIID& protocol, void* changedBy);
  virtual void HandleSelectionChanged(const ISelectionMessage* message) = 0;
  virtual void HandleSelectionAttributeChanged(const ISelectionMessage*) {}
};

/** The host's active-selection subject with one reference. */
LAYRA_API ISubject* QueryActiveSelectionSubject();
