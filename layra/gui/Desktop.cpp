#include "Desktop.h"

#include "DocumentTabs.h"
#include "DocumentView.h"
#include "HostWindows.h"
#include "ProgressWindow.h"

#include <layra/CAlert.h>
#include <layra/CmdUtils.h>
#include <layra/IApplication.h>
#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/host/Automation.h>
#include <layra/host/Host.h>

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include <algorithm>
#include <sstream>

namespace layra::gui {
namespace {

constexpr int kRepaintEveryMs = 40;
const char* const kDocumentFilter = "Layra documents (*.lyd);;All files (*)";

QString DocumentName(const UIDRef& document) {
  InterfacePtr<IDocument> doc(static_cast<IDocument*>(document.Instantiate(IID_IDOCUMENT)));
  PMString name;
  if (doc)
    doc->GetName(name);
  return QString::fromStdString(name.GetUTF8String());
}

bool IsModified(const UIDRef& document) {
  return document.GetDataBase() && document.GetDataBase()->IsModified();
}

QMessageBox::Icon BoxIcon(std::int16_t icon) {
  switch (icon) {
  case kErrorIcon:
    return QMessageBox::Critical;
  case kWarningIcon:
    return QMessageBox::Warning;
  case kQuestionIcon:
    return QMessageBox::Question;
  default:
    return QMessageBox::NoIcon;
  }
}

} // namespace

Desktop::Desktop(Host& host)
    : fHost(host), fTabs(new DocumentTabs(this)), fPageLabel(new QLabel(this)),
      fProgress(new ProgressWindow(statusBar(), this)) {
  setWindowTitle(QStringLiteral("Layra"));
  setObjectName(QStringLiteral("layra-window"));
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  setCentralWidget(fTabs);
  fPageLabel->setObjectName(QStringLiteral("page-label"));
  fTabs->onFrontChanged = [this](DocumentView* front) { FrontChanged(front); };
  fTabs->onCloseAsked = [this](DocumentView* view) {
    fTabs->BringToFront(view);
    CloseFront();
  };
  BuildMenus();
  AddPluginMenus();
  BuildPalettes();
  statusBar()->showMessage(tr("Ready"));
  SetViewWatcher(this);
  SetProgressPresenter(fProgress);
  Alerts::Instance().SetPresenter(
      [this](const AlertRecord& alert) { return PresentAlert(alert, this); });
  SetFolderAsker(
      [this](const std::string& title,
             const std::filesystem::path& start) -> std::optional<std::filesystem::path> {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QString::fromStdString(title), QString::fromStdString(start.string()),
            QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
        if (folder.isEmpty())
          return std::nullopt;
        return std::filesystem::path(folder.toStdString());
      });
  resize(1100, 760);
}

Desktop::~Desktop() {
  Detach();
  // What the window let go of waits for the event loop, which may not run again.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void Desktop::Detach() {
  SetViewWatcher(nullptr);
  SetBusyHook(nullptr);
  SetProgressPresenter(nullptr);
  SetFolderAsker(nullptr);
  Alerts::Instance().SetPresenter(nullptr);
  for (PaletteDock* dock : fPalettes)
    dock->Drop();
  for (HostDialog* dialog : fDialogs)
    dialog->Closed();
  fDialogs.clear();
}

void Desktop::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&Open…"), QKeySequence::Open, [this] { ChooseOpen(); });
  file->addAction(tr("&Save"), QKeySequence::Save, [this] { SaveFrontAsked(); });
  // Not every desktop gives Save As a key of its own: this one's is written out.
  file->addAction(tr("Save &As…"), QKeySequence(::Qt::CTRL | ::Qt::SHIFT | ::Qt::Key_S),
                  [this] { ChooseSaveAs(); });
  file->addAction(tr("&Close"), QKeySequence::Close, [this] { CloseFront(); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  fUndo = edit->addAction(tr("&Undo"), QKeySequence::Undo, [this] { Undo(); });
  fRedo = edit->addAction(tr("&Redo"), QKeySequence::Redo, [this] { Redo(); });
  edit->addSeparator();
  edit->addAction(tr("Script &Request…"), [this] { AskScriptRequest(); });
  QObject::connect(edit, &QMenu::aboutToShow, [this] { ShowDocumentState(); });

  // What the View menu and the page toolbar do to the front document.
  const auto zoom = [this](double scale) {
    return [this, scale] {
      if (DocumentView* front = FrontView())
        front->SetZoom(scale);
    };
  };
  const auto turn = [this](std::int32_t by) {
    return [this, by] {
      if (DocumentView* front = FrontView())
        front->ShowPage(front->CurrentPage() + by);
    };
  };

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(tr("Fit Page in Window"), QKeySequence(tr("Ctrl+0")), zoom(0));
  view->addAction(tr("Actual Size"), QKeySequence(tr("Ctrl+1")), zoom(1));
  fWindowMenu = menuBar()->addMenu(tr("&Window"));

  QToolBar* pages = addToolBar(tr("Pages"));
  pages->setObjectName(QStringLiteral("pages"));
  pages->setMovable(false);
  pages->addAction(tr("◀"), turn(-1))->setToolTip(tr("Previous page"));
  pages->addWidget(fPageLabel);
  pages->addAction(tr("▶"), turn(1))->setToolTip(tr("Next page"));
  pages->addSeparator();
  pages->addAction(tr("Fit"), zoom(0))->setToolTip(tr("Fit page in window"));
}

void Desktop::AddPluginMenus() {
  const auto run = [this](const std::function<void()>& work) { RunBusy(work); };
  for (const MenuEntry& entry : MainMenu())
    AddMenuEntry(PluginMenu(QString::fromStdString(entry.menu)), entry, run);
}

QMenu* Desktop::PluginMenu(const QString& path) {
  QMenu* menu = nullptr;
  for (const QString& name : path.split(':')) {
    const std::string shown = MenuTextShown(name.toStdString());
    const QList<QAction*> items = menu ? menu->actions() : menuBar()->actions();
    auto same = std::find_if(items.begin(), items.end(), [&](QAction* item) {
      return item->menu() && MenuTextShown(item->text().toStdString()) == shown;
    });
    if (same != items.end()) {
      QMenu* found = (*same)->menu();
      if (!menu && !found->property("plugins").toBool()) {
        found->addSeparator(); // the host's own entries first
        found->setProperty("plugins", true);
      }
      menu = found;
    } else if (menu) {
      menu = menu->addMenu(name);
    } else {
      menu = new QMenu(name, this);
      menu->setProperty("plugins", true);
      menuBar()->insertMenu(fWindowMenu->menuAction(), menu);
    }
  }
  return menu;
}

void Desktop::BuildPalettes() {
  InterfacePtr<IPanelMgr> panels = PanelManager();
  const auto run = [this](const std::function<void()>& work) { RunBusy(work); };
  for (const PaletteEntry& entry : Palettes()) {
    auto* dock = new PaletteDock(entry.widget, QString::fromStdString(entry.title), run, this);
    addDockWidget(::Qt::RightDockWidgetArea, dock);
    dock->hide();
    fPalettes.push_back(dock);
    QAction* toggle = fWindowMenu->addAction(QString::fromStdString(entry.title));
    toggle->setCheckable(true);
    toggle->setObjectName(dock->objectName());
    const WidgetID id = entry.widget;
    QObject::connect(toggle, &QAction::triggered, [id](bool on) {
      InterfacePtr<IPanelMgr> manager = PanelManager();
      if (manager && on)
        manager->ShowPanelByWidgetID(id, true);
      else if (manager)
        manager->HidePanelByWidgetID(id);
    });
    QObject::connect(fWindowMenu, &QMenu::aboutToShow, [toggle, id] {
      InterfacePtr<IPanelMgr> manager = PanelManager();
      toggle->setChecked(manager && manager->IsPanelWithWidgetIDShown(id));
    });
    if (entry.shown && panels)
      dock->Shown(panels->GetPanelFromWidgetID(entry.widget));
  }
}

PaletteDock* Desktop::Palette(WidgetID palette) const {
  for (PaletteDock* dock : fPalettes) {
    if (dock->Palette() == palette)
      return dock;
  }
  return nullptr;
}

PaletteDock* Desktop::Palette(const QString& title) const {
  for (PaletteDock* dock : fPalettes) {
    if (dock->windowTitle() == title)
      return dock;
  }
  return nullptr;
}

HostDialog* Desktop::FrontDialog() const {
  return fDialogs.empty() ? nullptr : fDialogs.back();
}

QWidget* Desktop::WidgetFor(const IControlView* view) const {
  for (ViewMirror* mirror : Mirrors()) {
    if (QWidget* widget = mirror->WidgetFor(view))
      return widget;
  }
  return nullptr;
}

std::vector<ViewMirror*> Desktop::Mirrors() const {
  std::vector<ViewMirror*> mirrors;
  for (HostDialog* dialog : fDialogs) {
    if (dialog->Mirror())
      mirrors.push_back(dialog->Mirror());
  }
  for (PaletteDock* dock : fPalettes) {
    if (dock->Mirror())
      mirrors.push_back(dock->Mirror());
  }
  return mirrors;
}

void Desktop::ViewChanged(IControlView* view) {
  for (ViewMirror* mirror : Mirrors()) {
    if (!mirror->Changed(view))
      continue;
    if (fBatch == 0)
      mirror->Flush();
    return;
  }
}

void Desktop::Batch(bool begins) {
  fBatch += begins ? 1 : -1;
  if (fBatch > 0)
    return;
  for (ViewMirror* mirror : Mirrors())
    mirror->Flush();
}

void Desktop::ViewGone(IControlView* view) {
  for (ViewMirror* mirror : Mirrors()) {
    if (mirror->Gone(view))
      return;
  }
}

void Desktop::WindowShown(IControlView* root, bool shown) {
  InterfacePtr<IPanelMgr> panels = PanelManager();
  for (PaletteDock* dock : fPalettes) {
    if (panels && panels->GetPanelFromWidgetID(dock->Palette()) == root) {
      dock->Shown(shown ? root : nullptr);
      return;
    }
  }
  if (shown) {
    auto* dialog = new HostDialog(
        root, [this](const std::function<void()>& work) { RunBusy(work); }, this);
    fDialogs.push_back(dialog);
    dialog->show();
    return;
  }
  for (auto dialog = fDialogs.begin(); dialog != fDialogs.end(); ++dialog) {
    if ((*dialog)->View() == root) {
      (*dialog)->Closed();
      fDialogs.erase(dialog);
      return;
    }
  }
}

std::int16_t PresentAlert(const AlertRecord& alert, QWidget* parent) {
  QMessageBox box(BoxIcon(alert.icon), QStringLiteral("Layra"),
                  QString::fromStdString(alert.message), QMessageBox::NoButton, parent);
  std::vector<QAbstractButton*> buttons;
  for (std::size_t i = 0; i < alert.buttons.size(); ++i)
    buttons.push_back(box.addButton(QString::fromStdString(alert.buttons[i]),
                                    i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
  box.setDefaultButton(
      static_cast<QPushButton*>(buttons[static_cast<std::size_t>(alert.defaultButton - 1)]));
  box.setEscapeButton(buttons.back());
  box.exec();
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    if (box.clickedButton() == buttons[i])
      return static_cast<std::int16_t>(i + 1);
  }
  return alert.defaultButton;
}

void Desktop::RunBusy(const std::function<void()>& work) {
  if (fBusy++ == 0) {
    QApplication::setOverrideCursor(::Qt::WaitCursor);
    menuBar()->setEnabled(false);
    statusBar()->showMessage(tr("Working…"));
    fProgress->TakeResultShown();
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    // Paint and timer events only: a click now would start other work in the middle.
    SetBusyHook([clock] {
      if (clock->elapsed() < kRepaintEveryMs)
        return;
      clock->restart();
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
  }
  work();
  if (--fBusy == 0) {
    SetBusyHook(nullptr);
    menuBar()->setEnabled(true);
    // What the work said of itself stays in its field; only work that said nothing leaves
    // "Ready".
    if (fProgress->TakeResultShown())
      statusBar()->clearMessage();
    else
      statusBar()->showMessage(tr("Ready"));
    QApplication::restoreOverrideCursor();
    RedrawDocuments();
  }
}

DocumentView* Desktop::AddDocument(const UIDRef& document) {
  auto* view = new DocumentView(document, fTabs);
  // Page Down and the others turn the page in the view itself: the page count follows.
  view->onPageShown = [this] { ShowDocumentState(); };
  fTabs->Add(view, DocumentName(document));
  return view;
}

DocumentView* Desktop::FrontView() const {
  return fTabs->Front();
}

void Desktop::FrontChanged(DocumentView* front) {
  if (front)
    fHost.BringToFront(front->Document());
  ShowDocumentState();
}

void Desktop::ShowDocumentState() {
  DocumentView* front = FrontView();
  const UIDRef document = front ? front->Document() : UIDRef();
  // The title carries the unsaved mark as the document's tab does.
  setWindowTitle(front ? DocumentName(document) +
                             (IsModified(document) ? QStringLiteral(" *") : QString()) +
                             QStringLiteral(" — Layra")
                       : QStringLiteral("Layra"));
  fPageLabel->setText(
      front ? tr(" Page %1 of %2 ").arg(front->CurrentPage() + 1).arg(front->PageCount())
            : QString());
  fUndo->setEnabled(front && CmdUtils::CanUndo(document.GetDataBase()));
  fRedo->setEnabled(front && CmdUtils::CanRedo(document.GetDataBase()));
  for (int tab = 0; tab < fTabs->Count(); ++tab) {
    const UIDRef shown = fTabs->View(tab)->Document();
    const QString text =
        DocumentName(shown) + (IsModified(shown) ? QStringLiteral(" *") : QString());
    if (fTabs->Title(tab) != text)
      fTabs->SetTitle(tab, text);
  }
}

void Desktop::RedrawDocuments() {
  if (DocumentView* front = FrontView())
    front->Reload();
  ShowDocumentState();
}

bool Desktop::OpenFile(const std::filesystem::path& file, std::string* error) {
  const Result<UIDRef> document = fHost.OpenDocument(file);
  if (!document) {
    *error = document.error();
    return false;
  }
  AddDocument(document.value());
  return true;
}

bool Desktop::SaveFront(std::string* error) {
  DocumentView* front = FrontView();
  if (!front) {
    *error = "no document is open";
    return false;
  }
  const Result<void> saved = fHost.SaveDocument(front->Document());
  ShowDocumentState();
  if (!saved)
    *error = saved.error();
  return saved.ok();
}

bool Desktop::SaveFrontAs(const std::filesystem::path& file, std::string* error) {
  DocumentView* front = FrontView();
  if (!front) {
    *error = "no document is open";
    return false;
  }
  const Result<void> saved = fHost.SaveDocumentAs(front->Document(), file);
  ShowDocumentState();
  if (!saved)
    *error = saved.error();
  return saved.ok();
}

std::vector<UIDRef> Desktop::Documents() const {
  std::vector<UIDRef> documents;
  for (int tab = 0; tab < fTabs->Count(); ++tab)
    documents.push_back(fTabs->View(tab)->Document());
  return documents;
}

bool Desktop::AgreeToClose(DocumentView* view) {
  if (!IsModified(view->Document()))
    return true;
  fTabs->BringToFront(view);
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Layra"),
                  tr("Do you want to save the changes you made to \u201c%1\u201d?")
                      .arg(DocumentName(view->Document())),
                  QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, this);
  box.setInformativeText(tr("Your changes will be lost if you don't save them."));
  box.button(QMessageBox::Discard)->setText(tr("Don't Save"));
  box.setDefaultButton(QMessageBox::Save);
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
  case QMessageBox::Save:
    return SaveFrontAsked();
  case QMessageBox::Discard:
    return true;
  default:
    return false;
  }
}

void Desktop::closeEvent(QCloseEvent* event) {
  while (FrontView()) {
    if (!CloseFront()) {
      event->ignore();
      return;
    }
  }
  QMainWindow::closeEvent(event);
}

bool Desktop::CloseFront() {
  DocumentView* front = FrontView();
  if (!front)
    return false;
  if (!AgreeToClose(front))
    return false;
  const UIDRef document = front->Document();
  fTabs->Remove(front);
  front->deleteLater();
  fHost.CloseDocument(document);
  if (DocumentView* next = FrontView())
    fHost.BringToFront(next->Document());
  ShowDocumentState();
  return true;
}

bool Desktop::Undo() {
  DocumentView* front = FrontView();
  const bool undone = front && CmdUtils::UndoLast(front->Document().GetDataBase());
  RedrawDocuments();
  return undone;
}

bool Desktop::Redo() {
  DocumentView* front = FrontView();
  const bool redone = front && CmdUtils::RedoLast(front->Document().GetDataBase());
  RedrawDocuments();
  return redone;
}

// What plug-ins offer to scripts, on what is selected: a request as a steps file's "script"
// step takes it, VERB "ARGUMENT"...; what the plug-in answers is shown.
void Desktop::AskScriptRequest() {
  bool ok = false;
  const QString request =
      QInputDialog::getText(this, tr("Script Request"), tr("Request (verb and \"arguments\"):"),
                            QLineEdit::Normal, QString(), &ok);
  if (!ok || request.trimmed().isEmpty())
    return;
  std::istringstream step("script " + request.toStdString());
  std::ostringstream answer;
  const std::string name = "request";
  Result<void> done;
  RunBusy([&] { done = RunSteps(step, name, answer); });
  const std::string where = name + ":1: "; // the one line's place, which says nothing here
  const std::string& error = done.error();
  if (!done)
    QMessageBox::warning(
        this, tr("Script Request"),
        QString::fromStdString(error.starts_with(where) ? error.substr(where.size()) : error));
  else if (!answer.str().empty())
    QMessageBox::information(this, tr("Script Request"), QString::fromStdString(answer.str()));
}

void Desktop::ChooseOpen() {
  const QString file = QFileDialog::getOpenFileName(
      this, tr("Open"), QString(), tr(kDocumentFilter), nullptr, QFileDialog::DontUseNativeDialog);
  std::string error;
  if (!file.isEmpty() && !OpenFile(file.toStdString(), &error))
    QMessageBox::warning(this, tr("Open"), QString::fromStdString(error));
}

bool Desktop::ChooseSaveAs() {
  if (!FrontView())
    return false;
  const QString file =
      QFileDialog::getSaveFileName(this, tr("Save As"), QString(), tr(kDocumentFilter), nullptr,
                                   QFileDialog::DontUseNativeDialog);
  if (file.isEmpty())
    return false;
  std::string error;
  if (SaveFrontAs(file.toStdString(), &error))
    return true;
  QMessageBox::warning(this, tr("Save As"), QString::fromStdString(error));
  return false;
}

bool Desktop::SaveFrontAsked() {
  DocumentView* front = FrontView();
  if (!front)
    return false;
  InterfacePtr<IDocument> document(
      static_cast<IDocument*>(front->Document().Instantiate(IID_IDOCUMENT)));
  if (document && document->GetFile().IsEmpty())
    return ChooseSaveAs();
  std::string error;
  if (SaveFront(&error))
    return true;
  QMessageBox::warning(this, tr("Save"), QString::fromStdString(error));
  return false;
}

bool Desktop::Screenshot(const std::filesystem::path& file, const QString& palette,
                         std::string* error) {
  QWidget* target = this;
  if (palette == QLatin1String("dialog")) {
    target = FrontDialog();
    if (!target) {
      *error = "no dialog on screen";
      return false;
    }
  } else if (!palette.isEmpty()) {
    PaletteDock* dock = Palette(palette);
    if (!dock || !dock->isVisible()) {
      *error = "no palette \"" + palette.toStdString() + "\" on screen";
      return false;
    }
    target = dock;
  }
  QCoreApplication::processEvents();
  if (!target->grab().save(QString::fromStdString(file.string()), "PNG")) {
    *error = "cannot write " + file.string();
    return false;
  }
  return true;
}

} // namespace layra::gui
