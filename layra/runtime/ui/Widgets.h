#pragma once
// The host's implementations behind widget bosses.

#include <layra/IBooleanControlData.h>
#include <layra/IControlView.h>
#include <layra/IPanelControlData.h>
#include <layra/IStringListControlData.h>
#include <layra/ITextControlData.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/ObjectModel.h>
#include <layra/host/PluginResources.h>
#include <layra/host/Views.h>

#include <vector>

namespace layra {

/** What a widget is, taken from the nearest host class among its class's ancestors. */
enum class WidgetKind {
  Panel,
  Palette,
  Dialog,
  StaticText,
  EditBox,
  CheckBox,
  Button,
  IconButton,
  ComboBox,
  Separator,
  Expander,
  TreeView,
  TreeNode
};

/** The host widget class that a name in a view resource stands for, or an invalid ID. */
ClassID HostWidgetClass(std::string_view name);
/** The kind of a class, by its nearest host ancestor; false for a class that is no widget. */
bool KindOfClass(ClassID widgetClass, WidgetKind& kind);
const char* KindName(WidgetKind kind);

void RegisterWidgetClasses(ObjectModel& model, PluginID host);

class ControlView : public CPMUnknown<IControlView> {
public:
  explicit ControlView(IPMUnknown* boss) : CPMUnknown<IControlView>(boss) {}
  ~ControlView() override;

  WidgetID GetWidgetID() const override { return fID; }
  void SetWidgetID(WidgetID id) override { fID = id; }
  PMRect GetFrame() const override { return fFrame; }
  void SetFrame(const PMRect& frame, bool16 invalidate) override;
  std::uint32_t GetFrameBinding() const override { return fBinding; }
  bool16 IsVisible() const override { return fVisible; }
  void Show(bool16 doShow) override;
  void Hide() override;
  bool16 IsEnabled() const override { return fEnabled; }
  void Enable(bool16 enable, bool16 invalidate) override;
  void Disable(bool16 invalidate) override { Enable(kFalse, invalidate); }
  void Invalidate() override;
  RsrcID GetRsrcID() const override { return fIcon; }
  PluginID GetRsrcPluginID() const override { return fIconPlugin; }
  void SetRsrcID(RsrcID id, PluginID plugin) override;
  PMString GetToolTipText() const override { return fTip; }
  void SetToolTipText(const PMString& key) override { fTip = key; }
  /** A panel's or a dialog's name from its view resource: a string key or a text. */
  const PMString& Title() const { return fTitle; }
  void SetTitle(const PMString& key) { fTitle = key; }
  IControlView* QueryParentView() const override;

  WidgetKind Kind() const { return fKind; }
  void SetKind(WidgetKind kind) { fKind = kind; }
  void SetBinding(std::uint32_t binding) { fBinding = binding; }
  void SetParent(IControlView* parent) { fParent = parent; }
  bool HasParent() const { return fParent != nullptr; }
  /** Whether the widget is on screen: itself, its parents and its window shown. */
  bool IsOnScreen() const;
  /** Puts a view's root window on screen or takes it off; observers attach and detach. */
  void SetWindowShown(bool shown);

  /** Calls AutoAttach on the observers of `view` and of its shown descendants, parents
   *  first; AutoDetach in the reverse order. Each observer is attached at most once. */
  static void AttachTree(IControlView* view);
  static void DetachTree(IControlView* view);

private:
  WidgetID fID;
  PMRect fFrame;
  std::uint32_t fBinding = 0;
  bool fVisible = true;
  bool fEnabled = true;
  bool fWindowShown = false;
  bool fAttached = false;
  RsrcID fIcon;
  PluginID fIconPlugin;
  PMString fTip;
  PMString fTitle;
  IControlView* fParent = nullptr;
  WidgetKind fKind = WidgetKind::Panel;
};

/** Tells the view watcher that many changes come in one go, for as long as it lives. */
class ViewBatch {
public:
  ViewBatch();
  ~ViewBatch();
  ViewBatch(const ViewBatch&) = delete;
  ViewBatch& operator=(const ViewBatch&) = delete;

private:
  ViewWatcher* fWatcher;
};

/** The host implementation of `view`; null for a view that is not the host's. */
ControlView* HostView(const IControlView* view);

class PanelControlData : public CPMUnknown<IPanelControlData> {
public:
  explicit PanelControlData(IPMUnknown* boss) : CPMUnknown<IPanelControlData>(boss) {}
  ~PanelControlData() override;

  std::int32_t Length() const override { return static_cast<std::int32_t>(fChildren.size()); }
  IControlView* GetWidget(std::int32_t index) const override;
  std::int32_t GetIndex(const IControlView* child) const override;
  IControlView* FindWidget(WidgetID id, std::int32_t depth) const override;
  void AddWidget(IControlView* child, std::int32_t at) override;
  void RemoveWidget(IControlView* child) override;

private:
  std::vector<IControlView*> fChildren; // referenced
};

class TextControlData : public CPMUnknown<ITextControlData> {
public:
  explicit TextControlData(IPMUnknown* boss) : CPMUnknown<ITextControlData>(boss) {}
  void SetString(const PMString& text, bool16 invalidate, bool16 notifyOfChange) override;
  PMString GetString() const override { return fText; }
  bool16 IsPassword() const override { return fPassword; }
  void SetPassword(bool16 password) override;

private:
  PMString fText;
  bool fPassword = false;
};

class BooleanControlData : public CPMUnknown<IBooleanControlData> {
public:
  explicit BooleanControlData(IPMUnknown* boss) : CPMUnknown<IBooleanControlData>(boss) {}
  bool16 IsSelected() const override { return fSelected; }
  void Select(bool16 notifyOfChange, bool16 invalidate) override;
  void Deselect(bool16 notifyOfChange, bool16 invalidate) override;

private:
  void Set(bool selected, bool notify, bool invalidate);
  bool fSelected = false;
};

class StringListControlData : public CPMUnknown<IStringListControlData> {
public:
  explicit StringListControlData(IPMUnknown* boss) : CPMUnknown<IStringListControlData>(boss) {}
  void Clear(bool16 invalidate, bool16 notifyOfChange) override;
  void AddString(const PMString& text, std::int32_t at, bool16 invalidate,
                 bool16 notifyOfChange) override;
  void RemoveString(std::int32_t index, bool16 invalidate, bool16 notifyOfChange) override;
  std::int32_t Length() const override { return static_cast<std::int32_t>(fEntries.size()); }
  PMString GetString(std::int32_t index) const override;
  std::int32_t GetIndex(const PMString& text) const override;

private:
  void Changed(bool invalidate, bool notify);
  std::vector<PMString> fEntries;
};

class DropDownListController : public CPMUnknown<IDropDownListController> {
public:
  explicit DropDownListController(IPMUnknown* boss) : CPMUnknown<IDropDownListController>(boss) {}
  void Select(std::int32_t index, bool16 invalidate, bool16 notifyOfChange) override;
  std::int32_t GetSelected() const override;

private:
  std::int32_t fSelected = kNoSelection;
};

class TreeNodeIDData : public CPMUnknown<ITreeNodeIDData> {
public:
  explicit TreeNodeIDData(IPMUnknown* boss) : CPMUnknown<ITreeNodeIDData>(boss) {}
  const NodeID& Get() const override { return fNode; }
  void Set(const NodeID& node) override { fNode = node; }

private:
  NodeID fNode;
};

inline TextControlData* HostTextData(ITextControlData* data) {
  return dynamic_cast<TextControlData*>(data);
}

/** Sends `change` on `protocol` through the subject of `boss`, if it has one. */
void NotifyWidget(const IPMUnknown* boss, ClassID change, PMIID protocol);
/** The text a person sees on a widget: its translated text, bullets for a password, or the
 *  chosen entry of a combo box; empty when it shows none. */
PMString ShownText(IControlView* view);

} // namespace layra

namespace layra {
/** A new widget of `widgetClass` with one reference; null for a class that is no widget. */
IControlView* MakeWidget(ClassID widgetClass, WidgetID id, const PMRect& frame);
/** Reports each tip that names a widget none of the plug-in's views has. */
void CheckToolTips(const PluginResources& resources);
/** Reports a problem with a plug-in's resources once per process run. */
void ReportResourceProblem(const std::string& plugin, const std::string& problem);
} // namespace layra
