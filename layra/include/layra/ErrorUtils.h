#pragma once

#include <layra/IDs.h>

namespace ErrorUtils {
ErrorCode PMGetGlobalErrorCode();
void PMSetGlobalErrorCode(ErrorCode code);
} // namespace ErrorUtils
