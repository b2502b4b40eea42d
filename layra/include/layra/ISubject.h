#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IObserver;

class ISubject : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISUBJECT;

  /** Attaches the interface `observerIID` of `observer`'s boss for changes on `protocol`.
   *  The subject keeps no reference: an observer freed while attached is skipped and
   *  forgotten, and an observer may detach from its own destructor. Attaching twice is one
   *  attachment. */
  virtual void AttachObserver(IObserver* observer, PMIID protocol,
                              PMIID observerIID = IID_IOBSERVER) = 0;
  virtual void DetachObserver(IObserver* observer, PMIID protocol,
                              PMIID observerIID = IID_IOBSERVER) = 0;
  virtual bool IsAttached(IObserver* observer, PMIID protocol,
                          PMIID observerIID = IID_IOBSERVER) const = 0;
  /** Sends a change to every observer attached for `protocol`. Observers may attach or
   *  detach while being told; each one still attached hears the change once. */
  virtual void Change(ClassID theChange, PMIID protocol, void* changedBy = nullptr) = 0;
  /** A change of persistent data; delivered like Change. */
  virtual void ModelChange(ClassID theChange, PMIID protocol, void* changedBy = nullptr) = 0;
};
