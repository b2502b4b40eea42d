#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class ISignalMgr;

/** A provider of document signal services: the host calls Respond for every signal of a
 *  service ID its provider declared, on the main thread, while the signal's document is
 *  open (for the after-close signal the document is already gone). */
class IResponder : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IRESPONDER;
  /** `signalManager` is valid during the call only; query its IDocumentSignalData there. */
  virtual void Respond(ISignalMgr* signalManager) = 0;
};
