#include <layra/host/Automation.h>

#include "Dialogs.h"
#include "TreeView.h"
#include "Widgets.h"

#include <layra/IApplication.h>
#include <layra/IEventHandler.h>
#include <layra/ISession.h>
#include <layra/host/Host.h>
#include <layra/host/Views.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace layra {
namespace {

constexpr std::int32_t kDeep = 9999;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

std::string Quote(const std::string& text) {
  return "\"" + text + "\"";
}

bool ParseID(const std::string& name, WidgetID& id) {
  if (name.size() < 2 || name[0] != '#')
    return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(name.c_str() + 1, &end, 0);
  if (*end != '\0')
    return false;
  id = WidgetID{static_cast<std::uint32_t>(value)};
  return true;
}

bool Matches(IControlView* view, const std::string& name, WidgetID id, bool byID) {
  if (byID)
    return view->GetWidgetID() == id;
  InterfacePtr<ITextControlData> text(view, UseDefaultIID());
  if (text && text->IsPassword())
    return false; // a password field is never found by what it holds
  return VisibleText(view) == name;
}

IControlView* Search(IControlView* view, const std::string& name, WidgetID id, bool byID) {
  if (!view || !view->IsVisible())
    return nullptr;
  if (Matches(view, name, id, byID))
    return view;
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i) {
    if (IControlView* found = Search(children->GetWidget(i), name, id, byID))
      return found;
  }
  return nullptr;
}

const PanelManager::Palette* FindPalette(const std::string& name) {
  PanelManager* panels = CurrentPanels();
  WidgetID id;
  const bool byID = ParseID(name, id);
  for (std::size_t i = 0; panels && i < panels->Palettes().size(); ++i) {
    const auto& palette = panels->Palettes()[i];
    if (byID ? palette.declaration.widget == id
             : panels->GetPanelTitle(palette.declaration.widget).GetUTF8String() == name)
      return &palette;
  }
  return nullptr;
}

std::string Describe(IControlView* view) {
  return WidgetKindName(view) +
         (view->GetWidgetID().IsValid() ? " #" + Hex(view->GetWidgetID().Get()) : std::string());
}

Result<void> Usable(IControlView* view) {
  ControlView* host = HostView(view);
  if (!host || !host->IsOnScreen())
    return Failure{"the " + Describe(view) + " is not on screen"};
  if (!view->IsEnabled())
    return Failure{"the " + Describe(view) + " is disabled"};
  return {};
}

/** Hands a click to the widget's handler, then to its parents' until one handles it. */
bool Click(IControlView* widget, IEvent& event) {
  InterfacePtr<IControlView> view(widget, UseDefaultIID());
  while (view) {
    InterfacePtr<IEventHandler> handler(view, UseDefaultIID());
    const bool doubleClick = event.GetType() == IEvent::Type::kDoubleClick;
    if (handler && (doubleClick ? handler->LDoubleClick(&event) : handler->LButtonDn(&event)))
      return true;
    view.reset(view->QueryParentView());
  }
  return false;
}

IControlView* FirstCheckBox(IControlView* view) {
  ControlView* host = HostView(view);
  if (host && host->Kind() == WidgetKind::CheckBox)
    return view;
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i) {
    if (IControlView* found = FirstCheckBox(children->GetWidget(i)))
      return found;
  }
  return nullptr;
}

void DumpView(IControlView* view, int depth, std::string& out);

void DumpTree(IControlView* tree, int depth, std::string& out) {
  InterfacePtr<ITreeViewController> controller(tree, UseDefaultIID());
  TreeViewMgr* host = HostTree(tree);
  if (!host)
    return;
  std::int32_t index = host->FirstRow();
  for (const TreeViewMgr::Row& row : host->Rows()) {
    out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + "row " + std::to_string(++index);
    if (controller && controller->IsSelected(row.node))
      out += " selected";
    if (host->IsNodeExpanded(row.node))
      out += " expanded";
    out += "\n";
    InterfacePtr<IPanelControlData> cells(row.widget, UseDefaultIID());
    for (std::int32_t i = 0; cells && i < cells->Length(); ++i)
      DumpView(cells->GetWidget(i), depth + 1, out);
  }
}

void DumpView(IControlView* view, int depth, std::string& out) {
  ControlView* host = HostView(view);
  if (!host)
    return;
  std::string line = std::string(static_cast<std::size_t>(depth) * 2, ' ') + Describe(view);
  if (!view->IsVisible()) {
    out += line + " hidden\n";
    return;
  }
  if (const std::string text = ShownText(view).GetUTF8String(); !text.empty())
    line += " " + Quote(text);
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (state && (host->Kind() == WidgetKind::CheckBox || host->Kind() == WidgetKind::Expander))
    line += state->IsSelected() ? " on" : " off";
  if (InterfacePtr<IStringListControlData> list(view, UseDefaultIID()); list) {
    line += " [";
    for (std::int32_t i = 0; i < list->Length(); ++i) {
      PMString entry = list->GetString(i);
      entry.Translate();
      line += (i ? ", " : "") + Quote(entry.GetUTF8String());
    }
    line += "]";
  }
  if (view->GetRsrcID().IsValid())
    line += " icon " + std::to_string(view->GetRsrcID().Get());
  if (PMString tip = view->GetToolTipText(); !tip.IsEmpty()) {
    tip.Translate();
    line += " tip " + Quote(tip.GetUTF8String());
  }
  if (!view->IsEnabled())
    line += " disabled";
  if (host->Kind() == WidgetKind::TreeView) {
    line += " rows " + std::to_string(TreeRowCount(view));
    out += line + "\n";
    DumpTree(view, depth + 1, out);
    return;
  }
  out += line + "\n";
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i)
    DumpView(children->GetWidget(i), depth + 1, out);
}

} // namespace

Result<IControlView*> Automation::FindWidget(const std::string& name) {
  PanelManager* panels = CurrentPanels();
  if (!panels)
    return Failure{"no host is running"};
  WidgetID id;
  const bool byID = ParseID(name, id);
  if (Dialog* dialog = panels->Dialogs().FrontDialog()) {
    if (IControlView* found = Search(dialog->GetDialogPanel(), name, id, byID))
      return found;
    return Failure{"the dialog has no widget " + (byID ? name : Quote(name))};
  }
  for (const auto& palette : panels->Palettes()) {
    if (!palette.shown)
      continue;
    if (IControlView* found = Search(palette.view, name, id, byID))
      return found;
  }
  return Failure{"no shown palette has a widget " + (byID ? name : Quote(name))};
}

Result<void> Automation::ShowPalette(const std::string& palette) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return Failure{"no palette " + Quote(palette)};
  CurrentPanels()->ShowPanelByWidgetID(found->declaration.widget, true);
  if (!found->view)
    return Failure{"the palette " + Quote(palette) + " could not be built"};
  return {};
}

Result<void> Automation::HidePalette(const std::string& palette) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return Failure{"no palette " + Quote(palette)};
  CurrentPanels()->HidePanelByWidgetID(found->declaration.widget);
  return {};
}

Result<void> Automation::Press(const std::string& widget) {
  Result<IControlView*> found = FindWidget(widget);
  if (!found)
    return Failure{found.error()};
  IControlView* view = found.value();
  if (Result<void> done = Usable(view); !done)
    return done;
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (!state)
    return Failure{"the " + Describe(view) + " cannot be pressed"};
  InterfacePtr<IControlView> keep(view, UseDefaultIID());
  if (state->IsSelected())
    state->Deselect(kTrue);
  else
    state->Select(kTrue);
  return {};
}

Result<void> Automation::SetChecked(const std::string& widget, bool on) {
  Result<IControlView*> found = FindWidget(widget);
  if (!found)
    return Failure{found.error()};
  IControlView* view = found.value();
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  ControlView* host = HostView(view);
  if (!state || !host || host->Kind() != WidgetKind::CheckBox)
    return Failure{"the " + Describe(view) + " is no check box"};
  if (state->IsSelected() == on)
    return {};
  return Press(widget);
}

Result<IControlView*> Automation::FindRow(const std::string& tree, std::int32_t row) {
  Result<IControlView*> found = FindWidget(tree);
  if (!found)
    return Failure{found.error()};
  IControlView* view = found.value();
  TreeViewMgr* host = HostTree(view);
  if (!host)
    return Failure{"the " + Describe(view) + " is no tree view"};
  if (row < 1 || row > host->RowCount())
    return Failure{"the tree view " + tree + " has no row " + std::to_string(row) + " (it has " +
                   std::to_string(host->RowCount()) + ")"};
  host->ScrollToRow(row - 1);
  const NodeID node = host->NodeAtRow(row - 1);
  InterfacePtr<IControlView> widget(host->QueryWidgetFromNode(node));
  if (!widget)
    return Failure{"row " + std::to_string(row) + " of " + tree + " has no widget"};
  return widget.get(); // held by the tree view
}

Result<void> Automation::ToggleRow(const std::string& tree, std::int32_t row) {
  Result<IControlView*> found = FindRow(tree, row);
  if (!found)
    return Failure{found.error()};
  IControlView* widget = found.value();
  IControlView* box = FirstCheckBox(widget);
  InterfacePtr<IBooleanControlData> state(box, UseDefaultIID());
  if (!state)
    return Failure{"row " + std::to_string(row) + " of " + tree + " has no check box"};
  if (Result<void> done = Usable(box); !done)
    return done;
  InterfacePtr<IControlView> keep(box, UseDefaultIID());
  if (state->IsSelected())
    state->Deselect(kTrue);
  else
    state->Select(kTrue);
  return {};
}

Result<void> Automation::SelectRows(const std::string& tree,
                                    const std::vector<std::int32_t>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    Result<IControlView*> found = FindRow(tree, rows[i]);
    if (!found)
      return Failure{found.error()};
    IControlView* widget = found.value();
    const PMRect frame = widget->GetFrame();
    IEvent click(IEvent::Type::kMouseDown,
                 GSysPoint{static_cast<int>(frame.left) + 1, static_cast<int>(frame.top) + 1},
                 i == 0 ? IEvent::kNone : IEvent::kCommand);
    if (!Click(widget, click))
      return Failure{"row " + std::to_string(rows[i]) + " of " + tree + " did not take the click"};
  }
  return {};
}

Result<void> Automation::DoubleClickRow(const std::string& tree, std::int32_t row) {
  Result<IControlView*> found = FindRow(tree, row);
  if (!found)
    return Failure{found.error()};
  IControlView* widget = found.value();
  InterfacePtr<IControlView> keep(widget, UseDefaultIID()); // the click may lay the tree out
  IEvent click(IEvent::Type::kDoubleClick, GSysPoint{static_cast<int>(widget->GetFrame().left) + 1,
                                                     static_cast<int>(widget->GetFrame().top) + 1});
  if (!Click(widget, click))
    return Failure{"row " + std::to_string(row) + " of " + tree + " did not take the double click"};
  return {};
}

Result<void> Automation::ExpandRow(const std::string& tree, std::int32_t row, bool expand) {
  Result<IControlView*> found = FindRow(tree, row);
  if (!found)
    return Failure{found.error()};
  IControlView* widget = found.value();
  InterfacePtr<ITreeNodeIDData> node(widget, UseDefaultIID());
  InterfacePtr<IControlView> view(widget->QueryParentView());
  InterfacePtr<ITreeViewMgr> manager(view, UseDefaultIID());
  InterfacePtr<IPanelControlData> cells(widget, UseDefaultIID());
  IControlView* expander = cells ? cells->FindWidget(kTreeNodeExpanderWidgetID) : nullptr;
  InterfacePtr<IBooleanControlData> state(expander, UseDefaultIID());
  const std::string which = "row " + std::to_string(row) + " of " + tree;
  if (!node || !manager || !state)
    return Failure{which + " has no expander"};
  if (Result<void> done = Usable(expander); !done)
    return done;
  const NodeID shown = node->Get();
  if (manager->IsNodeExpanded(shown) == expand)
    return {};
  InterfacePtr<IControlView> keep(expander, UseDefaultIID());
  if (expand)
    state->Select(kTrue);
  else
    state->Deselect(kTrue);
  if (manager->IsNodeExpanded(shown) != expand)
    return Failure{which + " cannot be " + (expand ? "expanded" : "collapsed")};
  return {};
}

Result<void> Automation::Type(const std::string& widget, const std::string& text) {
  Result<IControlView*> found = FindWidget(widget);
  if (!found)
    return Failure{found.error()};
  IControlView* view = found.value();
  ControlView* host = HostView(view);
  InterfacePtr<ITextControlData> data(view, UseDefaultIID());
  if (!data || !host || host->Kind() != WidgetKind::EditBox)
    return Failure{"the " + Describe(view) + " is no edit box"};
  if (Result<void> done = Usable(view); !done)
    return done;
  data->SetString(PMString(text, PMString::kDontTranslateDuringCall), kTrue, kTrue);
  return {};
}

Result<void> Automation::Choose(const std::string& combo, const std::string& entry) {
  Result<IControlView*> found = FindWidget(combo);
  if (!found)
    return Failure{found.error()};
  IControlView* view = found.value();
  InterfacePtr<IStringListControlData> list(view, UseDefaultIID());
  InterfacePtr<IDropDownListController> choice(view, UseDefaultIID());
  if (!list || !choice)
    return Failure{"the " + Describe(view) + " is no combo box"};
  if (Result<void> done = Usable(view); !done)
    return done;
  for (std::int32_t i = 0; i < list->Length(); ++i) {
    PMString text = list->GetString(i);
    text.Translate();
    if (text.GetUTF8String() == entry) {
      choice->Select(i, kTrue, kTrue);
      return {};
    }
  }
  return Failure{"the " + Describe(view) + " has no entry " + Quote(entry)};
}

Result<void> Automation::ChooseMenu(const std::string& palette, const std::string& entry) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return ChooseMainMenu(palette, entry);
  if (!found->shown)
    return Failure{"the palette " + Quote(palette) + " is not shown"};
  for (const MenuEntry& item : PanelMenu(found->declaration.widget)) {
    if (item.separator || item.text != entry)
      continue;
    if (!item.enabled)
      return Failure{"the menu entry " + Quote(entry) + " is disabled"};
    return PerformAction(item.action);
  }
  return Failure{"the panel menu of " + Quote(palette) + " has no entry " + Quote(entry)};
}

Result<void> Automation::ChooseMainMenu(const std::string& menu, const std::string& entry) {
  bool menuFound = false;
  for (const MenuEntry& item : MainMenu()) {
    if (MenuTextShown(item.menu) != menu)
      continue;
    menuFound = true;
    if (item.separator || MenuTextShown(item.text) != entry)
      continue;
    if (!item.enabled)
      return Failure{"the menu entry " + Quote(entry) + " is disabled"};
    return PerformAction(item.action);
  }
  if (!menuFound)
    return Failure{"no palette or menu " + Quote(menu)};
  return Failure{"the menu " + Quote(menu) + " has no entry " + Quote(entry)};
}

Result<void> Automation::PerformAction(ActionID action) {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  Host* host = Host::Current();
  if (!application || !host)
    return Failure{"no application to perform actions"};
  return host->PerformAction(action);
}

Result<void> Automation::OpenPreferences(const std::string& page) {
  WidgetID id;
  if (!ParseID(page, id))
    return Failure{"a preferences page is named by its ID, as #0x..."};
  InterfacePtr<IDialogMgr> dialogs(QueryDialogMgr());
  InterfacePtr<IDialog> dialog(dialogs ? dialogs->CreatePreferencesDialog(id) : nullptr);
  if (!dialog)
    return Failure{"no plug-in has a preferences page " + page};
  dialog->Open();
  return {};
}

Result<void> Automation::Confirm() {
  PanelManager* panels = CurrentPanels();
  Dialog* dialog = panels ? panels->Dialogs().FrontDialog() : nullptr;
  if (!dialog)
    return Failure{"no dialog is open"};
  if (Result<void> done = Press("#" + Hex(kOKButtonWidgetID.Get())); !done)
    return done;
  if (panels->Dialogs().FrontDialog() == dialog)
    return Failure{"the dialog stayed open: a field was refused"};
  return {};
}

Result<void> Automation::Cancel() {
  PanelManager* panels = CurrentPanels();
  if (!panels || !panels->Dialogs().FrontDialog())
    return Failure{"no dialog is open"};
  return Press("#" + Hex(kCancelButtonWidgetID.Get()));
}

void Automation::AnswerFolderChooser(std::optional<std::filesystem::path> folder) {
  if (PanelManager* panels = CurrentPanels())
    panels->QueueFolderAnswer(std::move(folder));
}

Result<std::string> Automation::Dump(const std::string& target) {
  PanelManager* panels = CurrentPanels();
  if (!panels)
    return Failure{"no host is running"};
  if (target == "dialog") {
    Dialog* dialog = panels->Dialogs().FrontDialog();
    if (!dialog)
      return Failure{"no dialog is open"};
    std::string text;
    DumpView(dialog->GetDialogPanel(), 0, text);
    return text;
  }
  const PanelManager::Palette* found = FindPalette(target);
  if (!found || !found->view)
    return Failure{"no palette " + Quote(target)};
  std::string text = "palette " +
                     Quote(panels->GetPanelTitle(found->declaration.widget).GetUTF8String()) +
                     (found->shown ? "" : " hidden") + "\n";
  if (found->shown)
    DumpView(found->view, 1, text);
  return text;
}

} // namespace layra
