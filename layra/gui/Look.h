#pragma once

class QApplication;

namespace layra::gui {

/** The desktop-publishing look: the Fusion style in light greys, small type for palettes. */
void ApplyLook(QApplication& application);

} // namespace layra::gui
