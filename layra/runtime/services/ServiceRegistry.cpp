#include "ServiceRegistry.h"

#include "HostServices.h"

#include <layra/IK2ServiceProvider.h>
#include <layra/IObjectModel.h>
#include <layra/IResponder.h>
#include <layra/IStartupShutdownService.h>
#include <layra/host/ObjectModel.h>

namespace layra {

void ServiceRegistry::Collect() {
  for (ClassID provider : ObjectModel::Instance().ClassesWithInterface(IID_IK2SERVICEPROVIDER)) {
    InterfacePtr<IK2ServiceProvider> service(
        static_cast<IK2ServiceProvider*>(CreateObject(provider, IID_IK2SERVICEPROVIDER)));
    if (!service)
      continue;
    std::vector<ServiceID> ids;
    if (service->HasMultipleIDs())
      service->GetServiceIDs(ids);
    else
      ids.push_back(service->GetServiceID());
    for (ServiceID id : ids)
      fProviders.emplace_back(id, InterfacePtr<IPMUnknown>(service, IID_IUNKNOWN));
  }
}

std::vector<IPMUnknown*> ServiceRegistry::ProvidersOf(ServiceID service) const {
  std::vector<IPMUnknown*> providers;
  for (const auto& [id, provider] : fProviders) {
    if (id == service)
      providers.push_back(provider.get());
  }
  return providers;
}

void ServiceRegistry::RunStartup() const {
  for (IPMUnknown* provider : ProvidersOf(kStartupShutdownService)) {
    InterfacePtr<IStartupShutdownService> service(provider, UseDefaultIID());
    if (service)
      service->Startup();
  }
}

void ServiceRegistry::RunShutdown() const {
  for (IPMUnknown* provider : ProvidersOf(kStartupShutdownService)) {
    InterfacePtr<IStartupShutdownService> service(provider, UseDefaultIID());
    if (service)
      service->Shutdown();
  }
}

void ServiceRegistry::SendDocumentSignal(ServiceID service, const UIDRef& document) const {
  InterfacePtr<ISignalMgr> signal(new DocumentSignal(service, document));
  for (IPMUnknown* provider : ProvidersOf(service)) {
    InterfacePtr<IResponder> responder(provider, UseDefaultIID());
    if (responder)
      responder->Respond(signal);
  }
}

} // namespace layra
