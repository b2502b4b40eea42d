#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class ISignalMgr;

class IResponder : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IRESPONDER;
  virtual void Respond(ISignalMgr* signalManager) = 0;
};
