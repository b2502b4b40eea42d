#pragma once
// The service providers the loaded plug-ins declare, found once at start-up and
// asked by service ID afterwards.

#include <layra/IDs.h>
#include <layra/IPMUnknown.h>
#include <layra/UIDRef.h>

#include <utility>
#include <vector>

namespace layra {

class ServiceRegistry {
public:
  /** Creates one boss of every class that provides a service and keeps it. */
  void Collect();
  /** Lets go of every provider. */
  void Clear() { fProviders.clear(); }
  std::vector<IPMUnknown*> ProvidersOf(ServiceID service) const;

  void RunStartup() const;
  void RunShutdown() const;
  /** Sends a document signal to every responder registered for it. */
  void SendDocumentSignal(ServiceID service, const UIDRef& document) const;

private:
  std::vector<std::pair<ServiceID, InterfacePtr<IPMUnknown>>> fProviders;
};

} // namespace layra
