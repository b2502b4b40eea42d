#pragma once

#include <layra/IPlugIn.h>

#include <string>

/** The plug-in object the host receives from GetPlugIn. */
class PlugIn final : public IPlugIn {
public:
  void SetPluginID(PluginID id) override { fPluginID = id; }
  PluginID GetPluginID() const override { return fPluginID; }
  std::string GetResourceFile() const override;
  bool RegisterImplementations(PluginID id) override;

  bool CanLoad() override { return true; }
  bool Load() override { return true; }
  bool CanUnload() override { return true; }
  bool IsOptional() override { return false; }
  void Unload() override {}

private:
  PluginID fPluginID = kInvalidPlugin;
};

PlugIn& ThePlugIn();
/** Remembers the library file as the plug-in's resource file. */
void RecordResourceFile(const std::string& path);
