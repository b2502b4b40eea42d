#pragma once
// The host's folder-selection dialog.

#include <layra/Export.h>
#include <layra/IDFile.h>
#include <layra/PMString.h>

#include <vector>

namespace FolderChooser {
/** Asks for a folder under `title` (translated); the folders chosen, none when cancelled. */
LAYRA_API std::vector<IDFile> Choose(const PMString& title, const IDFile& start = IDFile());
} // namespace FolderChooser
