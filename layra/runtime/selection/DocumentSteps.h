#pragma once
// Steps on the front document: selecting page items and text, undo and redo, saving and
// reopening, and the requests plug-ins offer to scripts.

#include <layra/host/Result.h>

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace layra {

extern const char* const kDocumentStepsSyntax;

/** Whether the step was done; nullopt when `words` is no such step. */
std::optional<Result<void>> RunDocumentStep(const std::vector<std::string>& words,
                                            std::ostream& out);

} // namespace layra
