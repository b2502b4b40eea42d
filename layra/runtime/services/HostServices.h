#pragma once
// Host implementations that plug-in classes name in their descriptions.

#include <layra/CServiceProvider.h>
#include <layra/ISignalMgr.h>
#include <layra/IWorkspace.h>

#include "../model/RefCounted.h"

namespace layra {

class WorkspaceImpl : public CPMUnknown<IWorkspace> {
public:
  explicit WorkspaceImpl(IPMUnknown* boss) : CPMUnknown<IWorkspace>(boss) {}
  bool IsApplicationWorkspace() const override { return true; }
};

/** Makes a class a start-up/shut-down service. */
class StartupShutdownProvider : public CServiceProvider {
public:
  explicit StartupShutdownProvider(IPMUnknown* boss) : CServiceProvider(boss) {}
  void GetName(PMString* name) override { *name = PMString("Startup/Shutdown Service"); }
  ServiceID GetServiceID() override { return kStartupShutdownService; }
};

/** Makes a class a panel that the host knows about. */
class PanelServiceProvider : public CServiceProvider {
public:
  explicit PanelServiceProvider(IPMUnknown* boss) : CServiceProvider(boss) {}
  void GetName(PMString* name) override { *name = PMString("Panel Service"); }
  ServiceID GetServiceID() override { return kPanelService; }
};

/** What a responder is handed with a document signal. */
class DocumentSignal final : public RefCounted<ISignalMgr> {
public:
  DocumentSignal(ServiceID service, const UIDRef& document)
      : fService(service), fData(document, this) {}
  ServiceID GetServiceID() const override { return fService; }

protected:
  IPMUnknown* FindInterface(PMIID iid) const override {
    if (iid == IID_IDOCUMENTSIGNALDATA)
      return &fData;
    return RefCounted<ISignalMgr>::FindInterface(iid);
  }

private:
  class Data final : public SiblingInterface<IDocumentSignalData> {
  public:
    Data(const UIDRef& document, const DocumentSignal* owner)
        : SiblingInterface(*owner), fDocument(document) {}
    UIDRef GetDocument() const override { return fDocument; }

  private:
    UIDRef fDocument;
  };

  ServiceID fService;
  mutable Data fData;
};

} // namespace layra
