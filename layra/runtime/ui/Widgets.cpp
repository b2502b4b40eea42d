#include "Widgets.h"

#include "../model/HostImplementations.h"
#include "../model/Subject.h"
#include "TreeView.h"

#include <layra/IObserver.h>
#include <layra/ISubject.h>
#include <layra/host/Views.h>

#include <algorithm>

namespace layra {
namespace {

ViewWatcher* gWatcher = nullptr;

struct HostWidgetClass {
  ClassID id;
  const char* name;
  WidgetKind kind;
};

constexpr HostWidgetClass kHostClasses[] = {
    {kGenericPanelWidgetBoss, "kGenericPanelWidgetBoss", WidgetKind::Panel},
    {kPanelBoss, "kPanelBoss", WidgetKind::Panel},
    {kPalettePanelWidgetBoss, "kPalettePanelWidgetBoss", WidgetKind::Palette},
    {kDialogBoss, "kDialogBoss", WidgetKind::Dialog},
    {kStaticTextWidgetBoss, "kStaticTextWidgetBoss", WidgetKind::StaticText},
    {kEditBoxWidgetBoss, "kEditBoxWidgetBoss", WidgetKind::EditBox},
    {kCheckBoxWidgetBoss, "kCheckBoxWidgetBoss", WidgetKind::CheckBox},
    {kButtonWidgetBoss, "kButtonWidgetBoss", WidgetKind::Button},
    {kIconButtonWidgetBoss, "kIconButtonWidgetBoss", WidgetKind::IconButton},
    {kComboBoxWidgetBoss, "kComboBoxWidgetBoss", WidgetKind::ComboBox},
    {kSeparatorWidgetBoss, "kSeparatorWidgetBoss", WidgetKind::Separator},
    {kExpanderWidgetBoss, "kExpanderWidgetBoss", WidgetKind::Expander},
    {kTreeViewWidgetBoss, "kTreeViewWidgetBoss", WidgetKind::TreeView},
    {kTreeNodeWidgetBoss, "kTreeNodeWidgetBoss", WidgetKind::TreeNode},
};

const char* const kKindNames[] = {"panel",    "palette", "dialog",     "text",  "editbox",
                                  "checkbox", "button",  "iconbutton", "combo", "separator",
                                  "expander", "tree",    "row"};

std::vector<InterfaceBinding> BindingsFor(WidgetKind kind) {
  std::vector<InterfaceBinding> bindings{{IID_ICONTROLVIEW, kControlViewImpl},
                                         {IID_ISUBJECT, kSubjectImpl}};
  auto add = [&](PMIID iid, ImplementationID impl) { bindings.push_back({iid, impl}); };
  switch (kind) {
  case WidgetKind::Panel:
  case WidgetKind::Palette:
    add(IID_IPANELCONTROLDATA, kPanelControlDataImpl);
    break;
  case WidgetKind::Dialog:
    add(IID_IPANELCONTROLDATA, kPanelControlDataImpl);
    add(IID_IOBSERVER, kDialogObserverImpl);
    add(IID_IDIALOGCONTROLLER, kDialogControllerImpl);
    break;
  case WidgetKind::StaticText:
  case WidgetKind::EditBox:
    add(IID_ITEXTCONTROLDATA, kTextControlDataImpl);
    break;
  case WidgetKind::CheckBox:
  case WidgetKind::Button:
    add(IID_ITEXTCONTROLDATA, kTextControlDataImpl);
    add(IID_IBOOLEANCONTROLDATA, kBooleanControlDataImpl);
    break;
  case WidgetKind::IconButton:
  case WidgetKind::Expander:
    add(IID_IBOOLEANCONTROLDATA, kBooleanControlDataImpl);
    break;
  case WidgetKind::ComboBox:
    add(IID_ISTRINGLISTCONTROLDATA, kStringListControlDataImpl);
    add(IID_IDROPDOWNLISTCONTROLLER, kDropDownListControllerImpl);
    break;
  case WidgetKind::Separator:
    break;
  case WidgetKind::TreeView:
    add(IID_IPANELCONTROLDATA, kPanelControlDataImpl);
    add(IID_ITREEVIEWMGR, kTreeViewMgrImpl);
    add(IID_ITREEVIEWCONTROLLER, kTreeViewControllerImpl);
    add(IID_IEVENTHANDLER, kTreeViewEventHandlerImpl);
    break;
  case WidgetKind::TreeNode:
    add(IID_IPANELCONTROLDATA, kPanelControlDataImpl);
    add(IID_ITREENODEIDDATA, kTreeNodeIDDataImpl);
    add(IID_IEVENTHANDLER, kTreeNodeEventHandlerImpl);
    break;
  }
  return bindings;
}

void Watch(IControlView* view) {
  if (gWatcher)
    gWatcher->ViewChanged(view);
}

} // namespace

void SetViewWatcher(ViewWatcher* watcher) {
  gWatcher = watcher;
}

ViewBatch::ViewBatch() : fWatcher(gWatcher) {
  if (fWatcher)
    fWatcher->Batch(true);
}

ViewBatch::~ViewBatch() {
  if (fWatcher)
    fWatcher->Batch(false);
}

ClassID HostWidgetClass(std::string_view name) {
  for (const auto& host : kHostClasses) {
    if (name == host.name)
      return host.id;
  }
  return kInvalidClass;
}

bool KindOfClass(ClassID widgetClass, WidgetKind& kind) {
  std::vector<ClassID> seen;
  for (ClassID id = widgetClass; id.IsValid();) {
    for (const auto& host : kHostClasses) {
      if (host.id == id) {
        kind = host.kind;
        return true;
      }
    }
    const ClassDescription* description = ObjectModel::Instance().FindClass(id);
    if (!description || std::find(seen.begin(), seen.end(), id) != seen.end())
      return false;
    seen.push_back(id);
    id = description->parent;
  }
  return false;
}

const char* KindName(WidgetKind kind) {
  return kKindNames[static_cast<int>(kind)];
}

void RegisterWidgetClasses(ObjectModel& model, PluginID host) {
  RegisterHostImplementations(model, host,
                              {RecordOf<ControlView>(kControlViewImpl),
                               RecordOf<PanelControlData>(kPanelControlDataImpl),
                               RecordOf<TextControlData>(kTextControlDataImpl),
                               RecordOf<BooleanControlData>(kBooleanControlDataImpl),
                               RecordOf<StringListControlData>(kStringListControlDataImpl),
                               RecordOf<DropDownListController>(kDropDownListControllerImpl),
                               RecordOf<TreeNodeIDData>(kTreeNodeIDDataImpl)});
  RegisterTreeViewImplementations(model, host);
  RegisterDialogImplementations(model, host);
  for (const auto& widget : kHostClasses)
    model.AddClass(
        ClassDescription{widget.id, kInvalidClass, widget.name, host, BindingsFor(widget.kind)});
  model.AddClass(ClassDescription{kActiveSelectionBoss,
                                  kInvalidClass,
                                  "kActiveSelectionBoss",
                                  host,
                                  {{IID_ISUBJECT, kSubjectImpl}}});
}

// ControlView

ControlView* HostView(const IControlView* view) {
  return dynamic_cast<ControlView*>(const_cast<IControlView*>(view));
}

ControlView::~ControlView() {
  if (gWatcher)
    gWatcher->ViewGone(this);
}

void ControlView::SetFrame(const PMRect& frame, bool16 invalidate) {
  fFrame = frame;
  if (invalidate)
    Invalidate();
}

void ControlView::Invalidate() {
  Watch(this);
}

void ControlView::SetRsrcID(RsrcID id, PluginID plugin) {
  fIcon = id;
  fIconPlugin = plugin;
  Invalidate();
}

IControlView* ControlView::QueryParentView() const {
  if (fParent)
    fParent->AddRef();
  return fParent;
}

bool ControlView::IsOnScreen() const {
  if (!fVisible)
    return false;
  if (!fParent)
    return fWindowShown;
  const ControlView* parent = HostView(fParent);
  return parent && parent->IsOnScreen();
}

void ControlView::Show(bool16 doShow) {
  if (!doShow) {
    Hide();
    return;
  }
  if (fVisible)
    return;
  fVisible = true;
  if (IsOnScreen())
    AttachTree(this);
  Invalidate();
}

void ControlView::Hide() {
  if (!fVisible)
    return;
  if (IsOnScreen())
    DetachTree(this);
  fVisible = false;
  Invalidate();
}

void ControlView::Enable(bool16 enable, bool16 invalidate) {
  fEnabled = enable;
  if (invalidate)
    Invalidate();
}

void ControlView::SetWindowShown(bool shown) {
  if (fWindowShown == shown)
    return;
  if (!shown && IsOnScreen())
    DetachTree(this);
  fWindowShown = shown;
  if (shown && IsOnScreen())
    AttachTree(this);
  if (gWatcher)
    gWatcher->WindowShown(this, shown);
}

void ControlView::AttachTree(IControlView* view) {
  ControlView* host = HostView(view);
  if (!host || !host->fVisible)
    return;
  if (!host->fAttached) {
    host->fAttached = true;
    InterfacePtr<IObserver> observer(view, IID_IOBSERVER);
    if (observer)
      observer->AutoAttach();
  }
  if (host->fKind == WidgetKind::TreeView)
    TreeViewShown(view);
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i)
    AttachTree(children->GetWidget(i));
}

void ControlView::DetachTree(IControlView* view) {
  ControlView* host = HostView(view);
  if (!host)
    return;
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = children ? children->Length() - 1 : -1; i >= 0; --i)
    DetachTree(children->GetWidget(i));
  if (!host->fAttached)
    return;
  host->fAttached = false;
  InterfacePtr<IObserver> observer(view, IID_IOBSERVER);
  if (observer)
    observer->AutoDetach();
}

// PanelControlData

PanelControlData::~PanelControlData() {
  for (IControlView* child : fChildren) {
    if (ControlView* host = HostView(child))
      host->SetParent(nullptr);
    child->Release();
  }
}

IControlView* PanelControlData::GetWidget(std::int32_t index) const {
  if (index < 0 || index >= Length())
    return nullptr;
  return fChildren[static_cast<std::size_t>(index)];
}

std::int32_t PanelControlData::GetIndex(const IControlView* child) const {
  // From the back: a tree view takes its rows away last first.
  auto found = std::find(fChildren.rbegin(), fChildren.rend(), child);
  return found == fChildren.rend() ? -1 : static_cast<std::int32_t>(fChildren.rend() - found) - 1;
}

IControlView* PanelControlData::FindWidget(WidgetID id, std::int32_t depth) const {
  if (depth < 1)
    return nullptr;
  // A widget finds itself too: a tree view's observer looks the tree view up in its own panel.
  InterfacePtr<IControlView> self(this, UseDefaultIID());
  if (self && self->GetWidgetID() == id && id.IsValid())
    return self.get();
  for (IControlView* child : fChildren) {
    if (child->GetWidgetID() == id)
      return child;
  }
  for (IControlView* child : fChildren) {
    InterfacePtr<IPanelControlData> inner(child, UseDefaultIID());
    if (!inner)
      continue;
    if (IControlView* found = inner->FindWidget(id, depth - 1))
      return found;
  }
  return nullptr;
}

void PanelControlData::AddWidget(IControlView* child, std::int32_t at) {
  InterfacePtr<IControlView> self(this, UseDefaultIID());
  ControlView* host = HostView(child);
  // A host widget knows its parent, so adding many rows never searches the children.
  if (!child || (host ? host->HasParent() : GetIndex(child) >= 0))
    return;
  child->AddRef();
  const auto position = at < 0 || at > Length() ? fChildren.end() : fChildren.begin() + at;
  fChildren.insert(position, child);
  if (host)
    host->SetParent(self);
  if (ControlView* parent = HostView(self); parent && parent->IsOnScreen())
    ControlView::AttachTree(child);
  Watch(self);
}

void PanelControlData::RemoveWidget(IControlView* child) {
  const std::int32_t index = GetIndex(child);
  if (index < 0)
    return;
  ControlView::DetachTree(child);
  if (ControlView* host = HostView(child))
    host->SetParent(nullptr);
  fChildren.erase(fChildren.begin() + index);
  child->Release();
  InterfacePtr<IControlView> self(this, UseDefaultIID());
  Watch(self);
}

// Control data

void NotifyWidget(const IPMUnknown* boss, ClassID change, PMIID protocol) {
  InterfacePtr<ISubject> subject(boss, UseDefaultIID());
  if (subject)
    subject->Change(change, protocol, nullptr);
}

namespace {
void Redraw(const IPMUnknown* boss) {
  InterfacePtr<IControlView> view(boss, UseDefaultIID());
  if (view)
    view->Invalidate();
}

WidgetKind KindOf(const IPMUnknown* boss) {
  InterfacePtr<IControlView> view(boss, UseDefaultIID());
  ControlView* host = HostView(view);
  return host ? host->Kind() : WidgetKind::Panel;
}
} // namespace

void TextControlData::SetString(const PMString& text, bool16 invalidate, bool16 notifyOfChange) {
  fText = text;
  if (invalidate)
    Redraw(this);
  if (notifyOfChange)
    NotifyWidget(this, kTextChangeStateMessage, IID_ITEXTCONTROLDATA);
}

void TextControlData::SetPassword(bool16 password) {
  if (fPassword == password)
    return;
  fPassword = password;
  Redraw(this);
}

void BooleanControlData::Select(bool16 notifyOfChange, bool16 invalidate) {
  const WidgetKind kind = KindOf(this);
  if (kind != WidgetKind::Button && kind != WidgetKind::IconButton) {
    Set(true, notifyOfChange, invalidate);
    return;
  }
  // A push button is pressed, never left on.
  if (invalidate)
    Redraw(this);
  if (!notifyOfChange)
    return;
  NotifyWidget(this, kTrueStateMessage, IID_IBOOLEANCONTROLDATA);
  NotifyWidget(this, kTrueStateMessage, IID_IBUTTONDATA);
}

void BooleanControlData::Deselect(bool16 notifyOfChange, bool16 invalidate) {
  Set(false, notifyOfChange, invalidate);
}

void BooleanControlData::Set(bool selected, bool notify, bool invalidate) {
  if (fSelected == selected)
    return;
  InterfacePtr<IPMUnknown> keep(this, IID_IUNKNOWN); // an observer may remove the widget
  fSelected = selected;
  if (invalidate)
    Redraw(this);
  if (!notify)
    return;
  if (KindOf(this) == WidgetKind::Expander)
    ExpanderToggled(this, selected);
  NotifyWidget(this, selected ? kTrueStateMessage : kFalseStateMessage, IID_IBOOLEANCONTROLDATA);
}

void StringListControlData::Changed(bool invalidate, bool notify) {
  if (invalidate)
    Redraw(this);
  if (notify)
    NotifyWidget(this, kPopupChangeStateMessage, IID_ISTRINGLISTCONTROLDATA);
}

void StringListControlData::Clear(bool16 invalidate, bool16 notifyOfChange) {
  fEntries.clear();
  InterfacePtr<IDropDownListController> choice(this, UseDefaultIID());
  if (choice)
    choice->Select(IDropDownListController::kNoSelection, kFalse, kFalse);
  Changed(invalidate, notifyOfChange);
}

void StringListControlData::AddString(const PMString& text, std::int32_t at, bool16 invalidate,
                                      bool16 notifyOfChange) {
  const auto position = at < 0 || at > Length() ? fEntries.end() : fEntries.begin() + at;
  fEntries.insert(position, text);
  Changed(invalidate, notifyOfChange);
}

void StringListControlData::RemoveString(std::int32_t index, bool16 invalidate,
                                         bool16 notifyOfChange) {
  if (index < 0 || index >= Length())
    return;
  fEntries.erase(fEntries.begin() + index);
  InterfacePtr<IDropDownListController> choice(this, UseDefaultIID());
  if (choice && choice->GetSelected() >= Length())
    choice->Select(IDropDownListController::kNoSelection, kFalse, kFalse);
  Changed(invalidate, notifyOfChange);
}

PMString StringListControlData::GetString(std::int32_t index) const {
  if (index < 0 || index >= Length())
    return PMString();
  return fEntries[static_cast<std::size_t>(index)];
}

std::int32_t StringListControlData::GetIndex(const PMString& text) const {
  auto found = std::find(fEntries.begin(), fEntries.end(), text);
  return found == fEntries.end() ? -1 : static_cast<std::int32_t>(found - fEntries.begin());
}

void DropDownListController::Select(std::int32_t index, bool16 invalidate, bool16 notifyOfChange) {
  InterfacePtr<IStringListControlData> list(this, UseDefaultIID());
  const std::int32_t length = list ? list->Length() : 0;
  if (index < kNoSelection || index >= length)
    return;
  fSelected = index;
  if (invalidate)
    Redraw(this);
  if (notifyOfChange)
    NotifyWidget(this, kPopupChangeStateMessage, IID_ISTRINGLISTCONTROLDATA);
}

std::int32_t DropDownListController::GetSelected() const {
  return fSelected;
}

PMString ShownText(IControlView* view) {
  ControlView* host = HostView(view);
  if (!host)
    return PMString();
  if (host->Kind() == WidgetKind::ComboBox) {
    InterfacePtr<IStringListControlData> list(view, UseDefaultIID());
    InterfacePtr<IDropDownListController> choice(view, UseDefaultIID());
    PMString chosen = list && choice ? list->GetString(choice->GetSelected()) : PMString();
    chosen.Translate();
    return chosen;
  }
  InterfacePtr<ITextControlData> data(view, UseDefaultIID());
  if (!data)
    return PMString();
  PMString text = data->GetString();
  if (data->IsPassword()) {
    std::string bullets;
    for (std::size_t i = 0; i < text.GetWString().Length(); ++i)
      bullets += "\xE2\x80\xA2";
    return PMString(bullets, PMString::kDontTranslateDuringCall);
  }
  text.Translate();
  return text;
}

std::string VisibleText(IControlView* view) {
  PMString text = ShownText(view);
  if (text.IsEmpty() && view) {
    text = view->GetToolTipText();
    text.Translate();
  }
  return text.GetUTF8String();
}

std::string WidgetKindName(IControlView* view) {
  ControlView* host = HostView(view);
  return host ? KindName(host->Kind()) : "widget";
}

} // namespace layra
