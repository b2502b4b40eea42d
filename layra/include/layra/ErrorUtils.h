#pragma once

#include <layra/Export.h>
#include <layra/IDs.h>

namespace ErrorUtils {
LAYRA_API ErrorCode PMGetGlobalErrorCode();
LAYRA_API void PMSetGlobalErrorCode(ErrorCode code);
} // namespace ErrorUtils
