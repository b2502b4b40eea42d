#pragma once
// The panel's observers: one on the panel for its buttons and for changes of the active
// selection, one on every page row for its check box.

#include <layra/ActiveSelectionObserver.h>

class FolivoSelectionObserverImpl : public ActiveSelectionObserver {
public:
  explicit FolivoSelectionObserverImpl(IPMUnknown* boss)
      : ActiveSelectionObserver(boss, IID_IOBSERVER) {}
  ~FolivoSelectionObserverImpl() override = default;

  void AutoAttach() override;
  void AutoDetach() override;

protected:
  void HandleSelectionUpdate(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
                             void* changedBy) override;
  void HandleSelectionChanged(const ISelectionMessage* message) override;
  void HandleSelectionAttributeChanged(const ISelectionMessage*) override {}
};

class FolivoTreeListNodeObserver : public CWidgetObserver {
public:
  explicit FolivoTreeListNodeObserver(IPMUnknown* boss) : CWidgetObserver(boss) {}
  ~FolivoTreeListNodeObserver() override = default;

  void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
              void* changedBy) override;
  void AutoAttach() override;
  void AutoDetach() override;
};
