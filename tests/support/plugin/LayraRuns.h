#pragma once
// The layra program as a test runs it: on the setup's home and plug-ins.

#include "PublishingSetup.h"

#include <string>

namespace folivox::test {

/** The layra program on the setup's home and plug-ins, answering every alert with its first
 *  button. */
inline std::string Layra(PublishingSetup& setup) {
  return std::string(LAYRA_PROGRAM) + " --home " + (setup.home().configDir() / "layra").string() +
         " --plugins " FOLIVOX_PLUGIN_DIR " --answer first";
}

} // namespace folivox::test
