#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IStartupShutdownService.h>

/** Runs once when the host has started: registers the configuration address preference,
 *  starts the configuration download and offers an update the worker found. */
class FolivoStartStopObserverImpl : public CPMUnknown<IStartupShutdownService> {
public:
  explicit FolivoStartStopObserverImpl(IPMUnknown* boss)
      : CPMUnknown<IStartupShutdownService>(boss) {}
  void Startup() override;
  void Shutdown() override {}

private:
  static void OfferUpdate();
};
