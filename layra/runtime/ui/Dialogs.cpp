#include "Dialogs.h"

#include "../model/HostImplementations.h"
#include "TreeView.h"
#include "Widgets.h"

#include <layra/CDialogObserver.h>
#include <layra/IActiveContext.h>
#include <layra/IObjectModel.h>
#include <layra/IPanelCreator.h>
#include <layra/ISession.h>
#include <layra/ISubject.h>

#include <cstdio>

namespace layra {
namespace {

void CollectControllers(IControlView* view, std::vector<InterfacePtr<IDialogController>>& out) {
  if (InterfacePtr<IDialogController> controller(view, UseDefaultIID()); controller)
    out.push_back(controller);
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i)
    CollectControllers(children->GetWidget(i), out);
}

IActiveContext* Context() {
  return GetExecutionContextSession()->GetActiveContext();
}

InterfacePtr<IControlView> RootOf(const IPMUnknown* widget) {
  InterfacePtr<IControlView> view(widget, UseDefaultIID());
  while (view) {
    InterfacePtr<IControlView> parent(view->QueryParentView());
    if (!parent)
      break;
    view = parent;
  }
  return view;
}

// The host's preferences dialog: the page with OK and Cancel to its right.
constexpr double kButtonWidth = 80, kButtonHeight = 20, kMargin = 16;

InterfacePtr<IControlView> Button(WidgetID id, const char* text, double left, double top) {
  InterfacePtr<IControlView> button(MakeWidget(
      kButtonWidgetBoss, id, PMRect{left, top, left + kButtonWidth, top + kButtonHeight}));
  InterfacePtr<ITextControlData> label(button, UseDefaultIID());
  if (label)
    label->SetString(PMString(text, PMString::kDontTranslateDuringCall), kFalse, kFalse);
  return button;
}

InterfacePtr<IControlView> PreferencesDialogAround(IControlView* page) {
  const PMRect pageFrame = page->GetFrame();
  const double left = pageFrame.Width() + kMargin;
  InterfacePtr<IControlView> root(
      MakeWidget(kDialogBoss, kInvalidWidgetID,
                 PMRect{0, 0, left + kButtonWidth + kMargin,
                        std::max(pageFrame.Height(), 2 * kMargin + 2 * kButtonHeight)}));
  InterfacePtr<IPanelControlData> children(root, UseDefaultIID());
  if (!children)
    return {};
  children->AddWidget(page);
  children->AddWidget(Button(kOKButtonWidgetID, "OK", left, kMargin));
  children->AddWidget(Button(kCancelButtonWidgetID, "Cancel", left, 2 * kMargin + kButtonHeight));
  return root;
}

} // namespace

class HostDialogObserver : public CDialogObserver {
public:
  explicit HostDialogObserver(IPMUnknown* boss) : CDialogObserver(boss) {}
};

class HostDialogController : public CDialogController {
public:
  explicit HostDialogController(IPMUnknown* boss) : CDialogController(boss) {}
};

void RegisterDialogImplementations(ObjectModel& model, PluginID host) {
  RegisterHostImplementations(model, host,
                              {RecordOf<HostDialogObserver>(kDialogObserverImpl),
                               RecordOf<HostDialogController>(kDialogControllerImpl)});
}

Dialog::Dialog(InterfacePtr<IControlView> root, IControlView* page)
    : fRoot(std::move(root)), fPage(page) {}

std::vector<InterfacePtr<IDialogController>> Dialog::Controllers() const {
  std::vector<InterfacePtr<IDialogController>> controllers;
  CollectControllers(fRoot, controllers);
  return controllers;
}

void Dialog::Open() {
  PanelManager* panels = CurrentPanels();
  if (fOpen || !panels)
    return;
  fOpen = true;
  panels->Dialogs().Opened(this);
  if (fPage)
    panels->RegisterPage(fPage);
  for (auto& controller : Controllers())
    controller->InitializeDialogFields(Context());
  if (ControlView* view = HostView(fRoot))
    view->SetWindowShown(true);
}

bool16 Dialog::Confirm() {
  if (!fOpen)
    return kFalse;
  InterfacePtr<IDialog> keep(this, UseDefaultIID());
  const auto controllers = Controllers();
  for (auto& controller : controllers) {
    const WidgetID refused = controller->ValidateDialogFields(Context());
    if (refused != kInvalidWidgetID) {
      std::fprintf(stderr, "layra: the dialog refused the field 0x%x; it stays open\n",
                   refused.Get());
      return kFalse;
    }
  }
  for (auto& controller : controllers)
    controller->ApplyDialogFields(Context(), kOKButtonWidgetID);
  for (auto& controller : controllers)
    controller->ClosingDialog();
  Close();
  return kTrue;
}

void Dialog::Cancel() {
  if (!fOpen)
    return;
  InterfacePtr<IDialog> keep(this, UseDefaultIID());
  for (auto& controller : Controllers())
    controller->ClosingDialog();
  Close();
}

void Dialog::Close() {
  if (ControlView* view = HostView(fRoot))
    view->SetWindowShown(false);
  fOpen = false;
  if (PanelManager* panels = CurrentPanels()) {
    if (fPage)
      panels->UnregisterPage(fPage);
    panels->Dialogs().Closed(this);
  }
}

DialogManager::~DialogManager() {
  CloseAll();
}

IDialog* DialogManager::CreateNewDialog(const RsrcSpec& resource) {
  InterfacePtr<IControlView> root(CreateView(resource.plugin, resource.id));
  if (!root)
    return nullptr;
  return new Dialog(std::move(root), nullptr);
}

IDialog* DialogManager::CreatePreferencesDialog(WidgetID panel) {
  ObjectModel& model = ObjectModel::Instance();
  for (ClassID creatorClass : model.ClassesWithInterface(IID_IPANELCREATOR)) {
    InterfacePtr<IPanelCreator> creator(
        static_cast<IPanelCreator*>(CreateObject(creatorClass, IID_IPANELCREATOR)));
    const ClassDescription* description = model.FindClass(creatorClass);
    if (!creator || !description)
      continue;
    InterfacePtr<IControlView> page(CreateView(description->plugin, creator->GetPanelRsrcID()));
    if (!page || page->GetWidgetID() != panel)
      continue;
    InterfacePtr<IControlView> root = PreferencesDialogAround(page);
    return root ? new Dialog(std::move(root), page.get()) : nullptr;
  }
  return nullptr;
}

std::string DialogTitle(IControlView* root) {
  const auto name = [](IControlView* view) {
    ControlView* host = HostView(view);
    PMString title = host ? host->Title() : PMString();
    title.Translate();
    return title.GetUTF8String();
  };
  if (std::string own = name(root); !own.empty())
    return own;
  PanelManager* panels = CurrentPanels();
  Dialog* dialog = panels ? panels->Dialogs().DialogOf(root) : nullptr;
  if (!dialog || !dialog->Page())
    return {};
  const std::string page = name(dialog->Page());
  return page.empty() ? "Preferences" : "Preferences \u2014 " + page;
}

void DialogManager::Opened(Dialog* dialog) {
  dialog->AddRef();
  fOpen.push_back(dialog);
}

void DialogManager::Closed(Dialog* dialog) {
  if (std::erase(fOpen, dialog) != 0)
    dialog->Release();
}

Dialog* DialogManager::DialogOf(const IPMUnknown* widget) const {
  InterfacePtr<IControlView> root = RootOf(widget);
  for (Dialog* dialog : fOpen) {
    if (dialog->GetDialogPanel() == root.get())
      return dialog;
  }
  return nullptr;
}

void DialogManager::CloseAll() {
  while (!fOpen.empty())
    fOpen.back()->Cancel();
}

} // namespace layra

using layra::CurrentPanels;
using layra::Dialog;
using layra::PanelManager;

IDialogMgr* QueryDialogMgr() {
  layra::PanelManager* panels = CurrentPanels();
  if (!panels)
    return nullptr;
  panels->Dialogs().AddRef();
  return &panels->Dialogs();
}

void CDialogObserver::AutoAttach() {
  AttachToWidget(kOKButtonWidgetID, IID_IBOOLEANCONTROLDATA);
  AttachToWidget(kCancelButtonWidgetID, IID_IBOOLEANCONTROLDATA);
}

void CDialogObserver::AutoDetach() {
  DetachFromWidget(kOKButtonWidgetID, IID_IBOOLEANCONTROLDATA);
  DetachFromWidget(kCancelButtonWidgetID, IID_IBOOLEANCONTROLDATA);
}

void CDialogObserver::Update(const ClassID& theChange, ISubject* theSubject, const PMIID&, void*) {
  if (theChange != kTrueStateMessage)
    return;
  InterfacePtr<IControlView> button(theSubject, UseDefaultIID());
  PanelManager* panels = CurrentPanels();
  Dialog* dialog = panels ? panels->Dialogs().DialogOf(Boss()) : nullptr;
  if (!button || !dialog)
    return;
  // Closing lets go of the dialog's view, this observer's boss among it.
  InterfacePtr<IPMUnknown> keep(Boss(), IID_IUNKNOWN);
  if (button->GetWidgetID() == kOKButtonWidgetID)
    dialog->Confirm();
  else if (button->GetWidgetID() == kCancelButtonWidgetID)
    dialog->Cancel();
}
