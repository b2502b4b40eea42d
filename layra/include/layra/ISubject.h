#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IObserver;

class ISubject : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISUBJECT;

  /** Attaches the interface `observerIID` of `observer`'s boss for changes on `protocol`. */
  virtual void AttachObserver(IObserver* observer, PMIID protocol,
                              PMIID observerIID = IID_IOBSERVER) = 0;
  virtual void DetachObserver(IObserver* observer, PMIID protocol,
                              PMIID observerIID = IID_IOBSERVER) = 0;
  virtual bool IsAttached(IObserver* observer, PMIID protocol,
                          PMIID observerIID = IID_IOBSERVER) const = 0;
  /** Sends a change to every observer attached for `protocol`. */
  virtual void Change(ClassID theChange, PMIID protocol, void* changedBy = nullptr) = 0;
  /** A change of persistent data; delivered like Change. */
  virtual void ModelChange(ClassID theChange, PMIID protocol, void* changedBy = nullptr) = 0;
};
