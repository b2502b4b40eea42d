// Views from the plug-ins' view resources: each widget a boss of its declared class, with
// its ID, frame, text, icon and tip; unknown classes and images are reported and skipped.

#include "PanelManager.h"
#include "Widgets.h"

#include <layra/IObjectModel.h>
#include <layra/host/Host.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>

namespace layra {
namespace {

const PluginResources* ResourcesOf(PluginID plugin) {
  Host* host = Host::Current();
  if (!host)
    return nullptr;
  for (const LoadedPlugin& loaded : host->Plugins()) {
    if (loaded.resources.id == plugin)
      return &loaded.resources;
  }
  return nullptr;
}

ClassID ResolveClass(const std::string& name) {
  if (name.empty())
    return kInvalidClass;
  if (name[0] >= '0' && name[0] <= '9')
    return ClassID{static_cast<std::uint32_t>(std::strtoul(name.c_str(), nullptr, 0))};
  return HostWidgetClass(name);
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%x", value);
  return text;
}

bool HasImage(const PluginResources& resources, RsrcID id) {
  for (const ImageDeclaration& image : resources.images) {
    if (image.id == id)
      return true;
  }
  return false;
}

IControlView* Build(const PluginResources& resources, RsrcID viewID,
                    const WidgetDeclaration& declaration) {
  const auto where = [&] {
    return "view " + std::to_string(viewID.Get()) + ", widget " + Hex(declaration.id.Get());
  };
  const ClassID widgetClass = ResolveClass(declaration.widgetClass);
  InterfacePtr<IControlView> view(MakeWidget(widgetClass, declaration.id, declaration.frame));
  if (!view) {
    ReportResourceProblem(resources.name, where() + ": unknown widget class \"" +
                                              declaration.widgetClass + "\"; skipped");
    return nullptr;
  }
  HostView(view)->SetBinding(declaration.binding);
  if (InterfacePtr<ITextControlData> text(view, UseDefaultIID()); text) {
    if (TextControlData* host = HostTextData(text))
      host->SetPassword(declaration.password);
    if (!declaration.text.empty())
      text->SetString(PMString(declaration.text), kFalse, kFalse);
  } else {
    HostView(view)->SetTitle(PMString(declaration.text));
  }
  if (declaration.icon.IsValid() && HasImage(resources, declaration.icon))
    view->SetRsrcID(declaration.icon, resources.id);
  else if (declaration.icon.IsValid())
    ReportResourceProblem(resources.name, where() + ": no image " +
                                              std::to_string(declaration.icon.Get()) +
                                              "; the icon is left out");
  for (const ToolTipDeclaration& tip : resources.toolTips) {
    if (tip.widget == declaration.id && declaration.id.IsValid())
      view->SetToolTipText(PMString(tip.key));
  }
  if (declaration.hidden)
    view->Hide();
  InterfacePtr<IPanelControlData> panel(view, UseDefaultIID());
  if (!panel && !declaration.children.empty())
    ReportResourceProblem(resources.name, where() + ": holds no widgets; its children are skipped");
  for (const WidgetDeclaration& child : declaration.children) {
    InterfacePtr<IControlView> made(panel ? Build(resources, viewID, child) : nullptr);
    if (made)
      panel->AddWidget(made);
  }
  return view.forget();
}

bool Declares(const WidgetDeclaration& widget, WidgetID id) {
  return widget.id == id ||
         std::any_of(widget.children.begin(), widget.children.end(),
                     [id](const WidgetDeclaration& child) { return Declares(child, id); });
}

} // namespace

void CheckToolTips(const PluginResources& resources) {
  for (const ToolTipDeclaration& tip : resources.toolTips) {
    const bool found = std::any_of(
        resources.views.begin(), resources.views.end(),
        [&tip](const ViewDeclaration& view) { return Declares(view.root, tip.widget); });
    if (!found)
      ReportResourceProblem(resources.name, "the tip \"" + tip.key + "\" names widget " +
                                                Hex(tip.widget.Get()) +
                                                ", which no view has; skipped");
  }
}

void ReportResourceProblem(const std::string& plugin, const std::string& problem) {
  static std::set<std::string> reported;
  const std::string line = "layra: plug-in " + plugin + ": " + problem;
  if (reported.insert(line).second)
    std::fprintf(stderr, "%s\n", line.c_str());
}

IControlView* MakeWidget(ClassID widgetClass, WidgetID id, const PMRect& frame) {
  WidgetKind kind;
  if (!KindOfClass(widgetClass, kind))
    return nullptr;
  InterfacePtr<IControlView> view(
      static_cast<IControlView*>(CreateObject(widgetClass, IID_ICONTROLVIEW)));
  ControlView* host = HostView(view);
  if (!host)
    return nullptr;
  host->SetKind(kind);
  view->SetWidgetID(id);
  view->SetFrame(frame, kFalse);
  return view.forget();
}

IControlView* CreateView(PluginID plugin, RsrcID id) {
  const PluginResources* resources = ResourcesOf(plugin);
  if (!resources)
    return nullptr;
  for (const ViewDeclaration& view : resources->views) {
    if (view.id == id)
      return Build(*resources, id, view.root);
  }
  ReportResourceProblem(resources->name, "no view resource " + std::to_string(id.Get()));
  return nullptr;
}

} // namespace layra

IPMUnknown* CreateObject(const RsrcSpec& resource, PMIID iid) {
  if (resource.type != kViewRsrcType)
    return nullptr;
  InterfacePtr<IControlView> view(layra::CreateView(resource.plugin, resource.id));
  return view ? view->QueryInterface(iid) : nullptr;
}
