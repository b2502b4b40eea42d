#pragma once

#include <layra/WidgetDefs.h>

class WLocaleSetting {
public:
  /** The locale the host shows its texts in (1 English, 16 Polish, ...). */
  static PMLocaleId GetLocale();
};
