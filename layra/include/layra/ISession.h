#pragma once

#include <layra/Export.h>
#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

class IApplication;
class IActiveContext;

class ISession : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISESSION;

  /** The application with one reference; null before it exists. */
  virtual IApplication* QueryApplication() const = 0;
  /** The context actions run in (not referenced); null when there is none. */
  virtual IActiveContext* GetActiveContext() const = 0;
  /** The application workspace boss with one reference; null before it exists. */
  virtual IPMUnknown* QueryWorkspace() const = 0;
};

/** The session of the running host; never null. */
LAYRA_API ISession* GetExecutionContextSession();
