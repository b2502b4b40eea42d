#pragma once
// The children of a container widget (panel, dialog, tree row, tree view).

#include <layra/IControlView.h>

class IPanelControlData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPANELCONTROLDATA;

  virtual std::int32_t Length() const = 0;
  /** Child `index`, not referenced; null past the end. */
  virtual IControlView* GetWidget(std::int32_t index) const = 0;
  virtual std::int32_t GetIndex(const IControlView* child) const = 0;
  /** The first widget with `id`: the container itself, its children (depth 1) or their
   *  descendants down to `depth` levels; not referenced; null when there is none. */
  virtual IControlView* FindWidget(WidgetID id, std::int32_t depth = 1) const = 0;
  /** Adds a child at `at` (-1: at the end); the container holds one reference. */
  virtual void AddWidget(IControlView* child, std::int32_t at = -1) = 0;
  /** Removes a child and lets go of its reference. */
  virtual void RemoveWidget(IControlView* child) = 0;
};
