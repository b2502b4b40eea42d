#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class ISubject;

/** Hears the changes of the subjects it is attached to, on the main thread. A subject
 *  holds its observers weakly: an observer freed while attached is skipped. */
class IObserver : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IOBSERVER;

  /** Attaches to the subjects it watches (a widget's observer: when the widget is shown). */
  virtual void AutoAttach() = 0;
  /** Detaches from them (when the widget is hidden); safe from a destructor. */
  virtual void AutoDetach() = 0;
  /** One change of `theSubject` on `protocol`. `changedBy` is the command or object that
   *  made it, or null when the change is sent again after undo or redo. The observer may
   *  attach, detach or run commands from here. */
  virtual void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
                      void* changedBy) = 0;
};
