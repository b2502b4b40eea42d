#pragma once

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

/** The application workspace: the persistent boss whose data are the user's preferences. */
class IWorkspace : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IWORKSPACE;
  virtual bool IsApplicationWorkspace() const = 0;
};
