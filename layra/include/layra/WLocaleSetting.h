#pragma once

#include <layra/WidgetDefs.h>

class LAYRA_API WLocaleSetting {
public:
  /** The locale the host shows its texts in (1 English, 16 Polish, ...). */
  static PMLocaleId GetLocale();
};
