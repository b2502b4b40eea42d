#pragma once
// What every widget is: its ID, its frame in points relative to its parent, whether it is
// shown and enabled, its icon and tip.

#include <layra/IPMUnknown.h>
#include <layra/PMRect.h>
#include <layra/PMString.h>
#include <layra/WidgetDefs.h>

class IControlView : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICONTROLVIEW;

  virtual WidgetID GetWidgetID() const = 0;
  virtual void SetWidgetID(WidgetID id) = 0;
  virtual PMRect GetFrame() const = 0;
  virtual void SetFrame(const PMRect& frame, bool16 invalidate = kTrue) = 0;
  /** The edges of its parent the widget follows (FrameBinding bits). */
  virtual std::uint32_t GetFrameBinding() const = 0;

  /** Whether the widget itself is shown; it is on screen when its parents are too. */
  virtual bool16 IsVisible() const = 0;
  virtual void Show(bool16 doShow = kTrue) = 0;
  virtual void Hide() = 0;
  virtual bool16 IsEnabled() const = 0;
  virtual void Enable(bool16 enable = kTrue, bool16 invalidate = kTrue) = 0;
  virtual void Disable(bool16 invalidate = kTrue) = 0;
  /** Asks for the widget to be drawn again. */
  virtual void Invalidate() = 0;

  /** The icon of an icon button: an image resource of a plug-in. */
  virtual RsrcID GetRsrcID() const = 0;
  virtual PluginID GetRsrcPluginID() const = 0;
  virtual void SetRsrcID(RsrcID id, PluginID plugin) = 0;
  /** The tip, a string-table key; empty when the widget has none. */
  virtual PMString GetToolTipText() const = 0;
  virtual void SetToolTipText(const PMString& key) = 0;

  /** The widget's parent with one reference; null for a view's root. */
  virtual IControlView* QueryParentView() const = 0;
};
