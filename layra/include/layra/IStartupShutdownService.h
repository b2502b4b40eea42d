#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IStartupShutdownService : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISTARTUPSHUTDOWNSERVICE;
  virtual void Startup() = 0;
  virtual void Shutdown() = 0;
};
