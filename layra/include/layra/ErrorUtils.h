#pragma once

#include <layra/Export.h>
#include <layra/IDs.h>

// The global error code, shared by the whole process and touched on the main thread only.
// CmdUtils::ProcessCommand resets it to kSuccess before the command's Do(); a command
// reports failure by setting it, and ProcessCommand returns it. Nothing else resets it.
namespace ErrorUtils {
LAYRA_API ErrorCode PMGetGlobalErrorCode();
LAYRA_API void PMSetGlobalErrorCode(ErrorCode code);
} // namespace ErrorUtils
