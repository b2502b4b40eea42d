#pragma once
// Base of an observer on a widget boss. The host calls AutoAttach when the widget comes on
// screen and AutoDetach when it goes; the helpers attach to a widget found by ID in this
// boss's own panel.

#include <layra/CObserver.h>
#include <layra/WidgetDefs.h>

class LAYRA_API CWidgetObserver : public CObserver {
public:
  explicit CWidgetObserver(IPMUnknown* boss, PMIID observerIID = IID_IOBSERVER)
      : CObserver(boss, observerIID) {}

protected:
  /** Attaches to the subject of widget `id` (searched in this boss's panel, depth 9999) on
   *  `protocol`; false when the widget or its subject is missing. */
  bool AttachToWidget(WidgetID id, PMIID protocol);
  bool DetachFromWidget(WidgetID id, PMIID protocol);
};
