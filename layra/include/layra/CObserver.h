#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IObserver.h>

class CObserver : public CPMUnknown<IObserver> {
public:
  explicit CObserver(IPMUnknown* boss, PMIID observerIID = IID_IOBSERVER)
      : CPMUnknown<IObserver>(boss), fObserverIID(observerIID) {}

  void AutoAttach() override {}
  void AutoDetach() override {}
  void Update(const ClassID&, ISubject*, const PMIID&, void*) override {}

protected:
  PMIID GetObserverIID() const { return fObserverIID; }

private:
  PMIID fObserverIID;
};
