#pragma once
// What a tree view asks a plug-in about the widgets of its rows.

#include <layra/CPMUnknown.h>
#include <layra/IControlView.h>
#include <layra/NodeID.h>

#include <map>

class IPanelControlData;

class ITreeViewWidgetMgr : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITREEVIEWWIDGETMGR;

  /** Called once, before the first row is made. */
  virtual void RegisterStyles() = 0;
  /** A new row widget for `node`, with one reference. */
  virtual IControlView* CreateWidgetForNode(const NodeID& node) const = 0;
  virtual WidgetID GetWidgetTypeForNode(const NodeID& node) const = 0;
  /** Fills `widget` for `node`; `message` says why (0: the row was made or rebuilt). */
  virtual bool16 ApplyNodeIDToWidget(const NodeID& node, IControlView* widget,
                                     std::int32_t message = 0) const = 0;
  virtual double GetIndentForNode(const NodeID& node) const = 0;
};

/** The host's widget manager: rows from the styles a subclass registers in RegisterStyles,
 *  indents by depth, and ApplyDataToWidget for the subclass to fill a row. */
class LAYRA_API CTreeViewWidgetMgr : public CPMUnknown<ITreeViewWidgetMgr> {
public:
  explicit CTreeViewWidgetMgr(IPMUnknown* boss, std::int32_t style = 0);
  ~CTreeViewWidgetMgr() override;

  void RegisterStyles() override {}
  IControlView* CreateWidgetForNode(const NodeID& node) const override;
  WidgetID GetWidgetTypeForNode(const NodeID& node) const override;
  bool16 ApplyNodeIDToWidget(const NodeID& node, IControlView* widget,
                             std::int32_t message = 0) const override;
  double GetIndentForNode(const NodeID& node) const override;

protected:
  /** Rows of `style` are made from view resource `rsrc` of `plugin`. */
  void RegisterStyleWidget(std::int32_t style, std::int32_t rsrc, PluginID plugin);
  virtual bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* widgetList,
                                   std::int32_t message) const;
  std::int32_t GetStyle() const { return fStyle; }

private:
  struct Style {
    RsrcID rsrc;
    PluginID plugin;
  };
  std::int32_t fStyle;
  std::map<std::int32_t, Style> fStyles;
};
