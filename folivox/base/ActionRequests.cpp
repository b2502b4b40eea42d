#include "base/ActionRequests.h"

#include <layra/IActionManager.h>
#include <layra/IApplication.h>
#include <layra/ISession.h>

namespace folivox {

void PerformActionInActiveContext(ActionID action) {
  ISession* session = GetExecutionContextSession();
  InterfacePtr<IApplication> application(session->QueryApplication());
  IActiveContext* context = session->GetActiveContext();
  if (!application || !context)
    return;
  InterfacePtr<IActionManager> actions(application->QueryActionManager());
  if (actions)
    actions->PerformAction(context, action, kInvalidMousePoint, nullptr);
}

} // namespace folivox
