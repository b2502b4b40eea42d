#include "publish/PanelRequests.h"

void (*gOpenPlainDialog)() = nullptr;
void (*gShowRecordedSend)() = nullptr;
