#include "base/FrontDocument.h"

#include <layra/IActiveContext.h>
#include <layra/ISession.h>

InterfacePtr<IDocument> QueryFrontDocument() {
  IActiveContext* context = GetExecutionContextSession()->GetActiveContext();
  if (!context)
    return InterfacePtr<IDocument>();
  return InterfacePtr<IDocument>(context->GetContextDocument(), UseDefaultIID());
}
