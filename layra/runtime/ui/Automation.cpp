#include <layra/host/Automation.h>

#include "Dialogs.h"
#include "TreeView.h"
#include "Widgets.h"

#include <layra/IActionManager.h>
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

Automation::Error Usable(IControlView* view) {
  ControlView* host = HostView(view);
  if (!host || !host->IsOnScreen())
    return "the " + Describe(view) + " is not on screen";
  if (!view->IsEnabled())
    return "the " + Describe(view) + " is disabled";
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

Automation::Error Automation::FindWidget(const std::string& name, IControlView*& found) {
  found = nullptr;
  PanelManager* panels = CurrentPanels();
  if (!panels)
    return "no host is running";
  WidgetID id;
  const bool byID = ParseID(name, id);
  if (Dialog* dialog = panels->Dialogs().FrontDialog()) {
    found = Search(dialog->GetDialogPanel(), name, id, byID);
    return found ? Error() : "the dialog has no widget " + (byID ? name : Quote(name));
  }
  for (const auto& palette : panels->Palettes()) {
    if (palette.shown && (found = Search(palette.view, name, id, byID)))
      return {};
  }
  return "no shown palette has a widget " + (byID ? name : Quote(name));
}

Automation::Error Automation::ShowPalette(const std::string& palette) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return "no palette " + Quote(palette);
  CurrentPanels()->ShowPanelByWidgetID(found->declaration.widget, true);
  return found->view ? Error() : "the palette " + Quote(palette) + " could not be built";
}

Automation::Error Automation::HidePalette(const std::string& palette) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return "no palette " + Quote(palette);
  CurrentPanels()->HidePanelByWidgetID(found->declaration.widget);
  return {};
}

Automation::Error Automation::Press(const std::string& widget) {
  IControlView* view = nullptr;
  if (Error error = FindWidget(widget, view); !error.empty())
    return error;
  if (Error error = Usable(view); !error.empty())
    return error;
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (!state)
    return "the " + Describe(view) + " cannot be pressed";
  InterfacePtr<IControlView> keep(view, UseDefaultIID());
  if (state->IsSelected())
    state->Deselect(kTrue);
  else
    state->Select(kTrue);
  return {};
}

Automation::Error Automation::SetChecked(const std::string& widget, bool on) {
  IControlView* view = nullptr;
  if (Error error = FindWidget(widget, view); !error.empty())
    return error;
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  ControlView* host = HostView(view);
  if (!state || !host || host->Kind() != WidgetKind::CheckBox)
    return "the " + Describe(view) + " is no check box";
  if (state->IsSelected() == on)
    return {};
  return Press(widget);
}

Automation::Error Automation::FindRow(const std::string& tree, std::int32_t row,
                                      IControlView*& found) {
  IControlView* view = nullptr;
  if (Error error = FindWidget(tree, view); !error.empty())
    return error;
  TreeViewMgr* host = HostTree(view);
  if (!host)
    return "the " + Describe(view) + " is no tree view";
  if (row < 1 || row > host->RowCount())
    return "the tree view " + tree + " has no row " + std::to_string(row) + " (it has " +
           std::to_string(host->RowCount()) + ")";
  host->ScrollToRow(row - 1);
  const NodeID node = host->NodeAtRow(row - 1);
  InterfacePtr<IControlView> widget(host->QueryWidgetFromNode(node));
  found = widget.get(); // held by the tree view
  return found ? Error() : "row " + std::to_string(row) + " of " + tree + " has no widget";
}

Automation::Error Automation::ToggleRow(const std::string& tree, std::int32_t row) {
  IControlView* widget = nullptr;
  if (Error error = FindRow(tree, row, widget); !error.empty())
    return error;
  IControlView* box = FirstCheckBox(widget);
  InterfacePtr<IBooleanControlData> state(box, UseDefaultIID());
  if (!state)
    return "row " + std::to_string(row) + " of " + tree + " has no check box";
  if (Error error = Usable(box); !error.empty())
    return error;
  InterfacePtr<IControlView> keep(box, UseDefaultIID());
  if (state->IsSelected())
    state->Deselect(kTrue);
  else
    state->Select(kTrue);
  return {};
}

Automation::Error Automation::SelectRows(const std::string& tree,
                                         const std::vector<std::int32_t>& rows) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    IControlView* widget = nullptr;
    if (Error error = FindRow(tree, rows[i], widget); !error.empty())
      return error;
    const PMRect frame = widget->GetFrame();
    IEvent click(IEvent::Type::kMouseDown,
                 GSysPoint{static_cast<int>(frame.left) + 1, static_cast<int>(frame.top) + 1},
                 i == 0 ? IEvent::kNone : IEvent::kCommand);
    if (!Click(widget, click))
      return "row " + std::to_string(rows[i]) + " of " + tree + " did not take the click";
  }
  return {};
}

Automation::Error Automation::DoubleClickRow(const std::string& tree, std::int32_t row) {
  IControlView* widget = nullptr;
  if (Error error = FindRow(tree, row, widget); !error.empty())
    return error;
  InterfacePtr<IControlView> keep(widget, UseDefaultIID()); // the click may lay the tree out
  IEvent click(IEvent::Type::kDoubleClick, GSysPoint{static_cast<int>(widget->GetFrame().left) + 1,
                                                     static_cast<int>(widget->GetFrame().top) + 1});
  if (!Click(widget, click))
    return "row " + std::to_string(row) + " of " + tree + " did not take the double click";
  return {};
}

Automation::Error Automation::ExpandRow(const std::string& tree, std::int32_t row, bool expand) {
  IControlView* widget = nullptr;
  if (Error error = FindRow(tree, row, widget); !error.empty())
    return error;
  InterfacePtr<ITreeNodeIDData> node(widget, UseDefaultIID());
  InterfacePtr<IControlView> view(widget->QueryParentView());
  InterfacePtr<ITreeViewMgr> manager(view, UseDefaultIID());
  InterfacePtr<IPanelControlData> cells(widget, UseDefaultIID());
  IControlView* expander = cells ? cells->FindWidget(kTreeNodeExpanderWidgetID) : nullptr;
  InterfacePtr<IBooleanControlData> state(expander, UseDefaultIID());
  const std::string which = "row " + std::to_string(row) + " of " + tree;
  if (!node || !manager || !state)
    return which + " has no expander";
  if (Error error = Usable(expander); !error.empty())
    return error;
  const NodeID shown = node->Get();
  if (manager->IsNodeExpanded(shown) == expand)
    return {};
  InterfacePtr<IControlView> keep(expander, UseDefaultIID());
  if (expand)
    state->Select(kTrue);
  else
    state->Deselect(kTrue);
  return manager->IsNodeExpanded(shown) == expand
             ? Error()
             : which + " cannot be " + (expand ? "expanded" : "collapsed");
}

Automation::Error Automation::Type(const std::string& widget, const std::string& text) {
  IControlView* view = nullptr;
  if (Error error = FindWidget(widget, view); !error.empty())
    return error;
  ControlView* host = HostView(view);
  InterfacePtr<ITextControlData> data(view, UseDefaultIID());
  if (!data || !host || host->Kind() != WidgetKind::EditBox)
    return "the " + Describe(view) + " is no edit box";
  if (Error error = Usable(view); !error.empty())
    return error;
  data->SetString(PMString(text, PMString::kDontTranslateDuringCall), kTrue, kTrue);
  return {};
}

Automation::Error Automation::Choose(const std::string& combo, const std::string& entry) {
  IControlView* view = nullptr;
  if (Error error = FindWidget(combo, view); !error.empty())
    return error;
  InterfacePtr<IStringListControlData> list(view, UseDefaultIID());
  InterfacePtr<IDropDownListController> choice(view, UseDefaultIID());
  if (!list || !choice)
    return "the " + Describe(view) + " is no combo box";
  if (Error error = Usable(view); !error.empty())
    return error;
  for (std::int32_t i = 0; i < list->Length(); ++i) {
    PMString text = list->GetString(i);
    text.Translate();
    if (text.GetUTF8String() == entry) {
      choice->Select(i, kTrue, kTrue);
      return {};
    }
  }
  return "the " + Describe(view) + " has no entry " + Quote(entry);
}

Automation::Error Automation::ChooseMenu(const std::string& palette, const std::string& entry) {
  const PanelManager::Palette* found = FindPalette(palette);
  if (!found)
    return ChooseMainMenu(palette, entry);
  if (!found->shown)
    return "the palette " + Quote(palette) + " is not shown";
  for (const MenuEntry& item : PanelMenu(found->declaration.widget)) {
    if (item.separator || item.text != entry)
      continue;
    if (!item.enabled)
      return "the menu entry " + Quote(entry) + " is disabled";
    return PerformAction(item.action);
  }
  return "the panel menu of " + Quote(palette) + " has no entry " + Quote(entry);
}

Automation::Error Automation::ChooseMainMenu(const std::string& menu, const std::string& entry) {
  bool menuFound = false;
  for (const MenuEntry& item : MainMenu()) {
    if (MenuTextShown(item.menu) != menu)
      continue;
    menuFound = true;
    if (item.separator || MenuTextShown(item.text) != entry)
      continue;
    if (!item.enabled)
      return "the menu entry " + Quote(entry) + " is disabled";
    return PerformAction(item.action);
  }
  if (!menuFound)
    return "no palette or menu " + Quote(menu);
  return "the menu " + Quote(menu) + " has no entry " + Quote(entry);
}

Automation::Error Automation::PerformAction(ActionID action) {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  InterfacePtr<IActionManager> manager(application ? application->QueryActionManager() : nullptr);
  if (!manager)
    return "no application to perform actions";
  if (!manager->PerformAction(GetExecutionContextSession()->GetActiveContext(), action))
    return "no plug-in performs the action " + Hex(action.Get());
  return {};
}

Automation::Error Automation::OpenPreferences(const std::string& page) {
  WidgetID id;
  if (!ParseID(page, id))
    return "a preferences page is named by its ID, as #0x...";
  InterfacePtr<IDialogMgr> dialogs(QueryDialogMgr());
  InterfacePtr<IDialog> dialog(dialogs ? dialogs->CreatePreferencesDialog(id) : nullptr);
  if (!dialog)
    return "no plug-in has a preferences page " + page;
  dialog->Open();
  return {};
}

Automation::Error Automation::Confirm() {
  PanelManager* panels = CurrentPanels();
  Dialog* dialog = panels ? panels->Dialogs().FrontDialog() : nullptr;
  if (!dialog)
    return "no dialog is open";
  if (Error error = Press("#" + Hex(kOKButtonWidgetID.Get())); !error.empty())
    return error;
  if (panels->Dialogs().FrontDialog() == dialog)
    return "the dialog stayed open: a field was refused";
  return {};
}

Automation::Error Automation::Cancel() {
  PanelManager* panels = CurrentPanels();
  if (!panels || !panels->Dialogs().FrontDialog())
    return "no dialog is open";
  return Press("#" + Hex(kCancelButtonWidgetID.Get()));
}

void Automation::AnswerFolderChooser(std::optional<std::filesystem::path> folder) {
  if (PanelManager* panels = CurrentPanels())
    panels->QueueFolderAnswer(std::move(folder));
}

Automation::Error Automation::Dump(const std::string& target, std::string& text) {
  text.clear();
  PanelManager* panels = CurrentPanels();
  if (!panels)
    return "no host is running";
  if (target == "dialog") {
    Dialog* dialog = panels->Dialogs().FrontDialog();
    if (!dialog)
      return "no dialog is open";
    DumpView(dialog->GetDialogPanel(), 0, text);
    return {};
  }
  const PanelManager::Palette* found = FindPalette(target);
  if (!found || !found->view)
    return "no palette " + Quote(target);
  text = "palette " + Quote(panels->GetPanelTitle(found->declaration.widget).GetUTF8String()) +
         (found->shown ? "" : " hidden") + "\n";
  if (found->shown)
    DumpView(found->view, 1, text);
  return {};
}

} // namespace layra
