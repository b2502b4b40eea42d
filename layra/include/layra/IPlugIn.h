#pragma once
// What a plug-in library hands to the host through its exported `GetPlugIn`.

#include <layra/IDs.h>

#include <string>

class IPlugIn {
public:
  virtual void SetPluginID(PluginID id) = 0;
  virtual PluginID GetPluginID() const = 0;
  /** Path of the file that holds the plug-in's resources. */
  virtual std::string GetResourceFile() const = 0;
  /** Registers every implementation of the plug-in with the host's registry. */
  [[nodiscard]] virtual bool RegisterImplementations(PluginID id) = 0;

  virtual bool CanLoad() = 0;
  virtual bool Load() = 0;
  virtual bool CanUnload() = 0;
  virtual bool IsOptional() = 0;
  virtual void Unload() = 0;

protected:
  ~IPlugIn() = default;
};

extern "C" {
using GetPlugInFunction = IPlugIn* (*)();
}
