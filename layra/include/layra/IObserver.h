#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class ISubject;

class IObserver : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IOBSERVER;

  virtual void AutoAttach() = 0;
  virtual void AutoDetach() = 0;
  virtual void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
                      void* changedBy) = 0;
};
