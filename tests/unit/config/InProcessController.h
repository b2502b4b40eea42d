#pragma once
// The plug-in's controller and preference store assembled from the plug-in's own
// implementation table into a real host of this process, so that a test can look into the
// controller and call the hooks it installs.

#include "PreferenceHost.h"
#include "publish/FolivoActionComponent.h"

#include <layra/IActionComponent.h>

#include <filesystem>

namespace folivox::test {

class InProcessController {
public:
  explicit InProcessController(const std::filesystem::path& home);

  /** Null when the plug-in's table lacks an implementation the controller needs. */
  FolivoActionComponent* Controller() const;
  void Perform(ActionID action);
  layra::Host& Host() { return fHost.Host(); }

private:
  PreferenceHost fHost;
  InterfacePtr<IActionComponent> fComponent;
};

} // namespace folivox::test
