#pragma once
// How many threads render a batch of pages (SnapshotUtils::ExportPagesToJPEG).

#include <layra/Export.h>

namespace layra {

/** 0, the default, means one per core. */
LAYRA_API void SetRenderWorkerCount(unsigned count);
/** The number a batch starts: what was set, else the machine's core count (at least 1). */
LAYRA_API unsigned RenderWorkerCount();

} // namespace layra
