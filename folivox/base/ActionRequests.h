#pragma once

#include <layra/IDs.h>

namespace folivox {
/** Asks the host to perform one of the plug-in's actions in the active context, with no
 *  mouse position; does nothing while there is no application, context or action manager. */
void PerformActionInActiveContext(ActionID action);
} // namespace folivox
