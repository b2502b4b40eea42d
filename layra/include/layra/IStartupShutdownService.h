#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

/** A provider of kStartupShutdownService, on the main thread. */
class IStartupShutdownService : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISTARTUPSHUTDOWNSERVICE;
  /** Once, when the host has loaded every plug-in and the workspace: the session, the
   *  workspace and the actions are available. */
  virtual void Startup() = 0;
  /** Once, before the plug-ins are unloaded and the workspace is saved; changes made to
   *  the workspace here are saved. */
  virtual void Shutdown() = 0;
};
