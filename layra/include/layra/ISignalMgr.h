#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/UIDRef.h>

class ISignalMgr : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISIGNALMGR;
  virtual ServiceID GetServiceID() const = 0;
};

/** Present on the signal manager of document signals. */
class IDocumentSignalData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDOCUMENTSIGNALDATA;
  virtual UIDRef GetDocument() const = 0;
};
