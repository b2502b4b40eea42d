#pragma once
// The test plug-in's widget implementations.

#include <layra/CPMUnknown.h>

#include <vector>

std::vector<ImplementationRecord> UIRecords();
void OpenTestDialog(PluginID plugin);
