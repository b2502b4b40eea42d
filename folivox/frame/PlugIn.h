#pragma once

#include <layra/CPlugIn.h>

#include <string>

/** The plug-in object the host receives from GetPlugIn. */
class PlugIn final : public CPlugIn {
public:
  std::string GetResourceFile() const override;
  bool RegisterImplementations(PluginID id) override;
  /** Gives the update-check worker a bounded time to finish before the host goes. */
  void Unload() override;
};

PlugIn& ThePlugIn();
/** Remembers the library file as the plug-in's resource file. */
void RecordResourceFile(const std::string& path);
