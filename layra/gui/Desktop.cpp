#include "Desktop.h"

#include "DocumentView.h"
#include "HostWindows.h"

#include <layra/CAlert.h>
#include <layra/CmdUtils.h>
#include <layra/IApplication.h>
#include <layra/IDataBase.h>
#include <layra/IDocument.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/host/Host.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>

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

InterfacePtr<IPanelMgr> PanelManager() {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  return InterfacePtr<IPanelMgr>(application ? application->QueryPanelManager() : nullptr);
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
    : fHost(host), fTabs(new QTabWidget(this)), fPageLabel(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Layra"));
  setObjectName(QStringLiteral("layra-window"));
  setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
  fTabs->setDocumentMode(true);
  fTabs->setTabsClosable(true);
  setCentralWidget(fTabs);
  QObject::connect(fTabs, &QTabWidget::currentChanged, [this](int tab) { FrontChanged(tab); });
  QObject::connect(fTabs, &QTabWidget::tabCloseRequested, [this](int tab) {
    fTabs->setCurrentIndex(tab);
    CloseFront();
  });
  BuildMenus();
  BuildPalettes();
  statusBar()->showMessage(tr("Ready"));
  SetViewWatcher(this);
  Alerts::Instance().SetPresenter([this](const AlertRecord& alert) { return PresentAlert(alert); });
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
  SetFolderAsker(nullptr);
  Alerts::Instance().SetPresenter(nullptr);
  for (PaletteDock* dock : fPalettes)
    dock->Shown(nullptr);
  for (HostDialog* dialog : fDialogs)
    dialog->Closed();
  fDialogs.clear();
}

void Desktop::BuildMenus() {
  QMenu* file = menuBar()->addMenu(tr("&File"));
  file->addAction(tr("&Open…"), QKeySequence::Open, [this] { ChooseOpen(); });
  file->addAction(tr("&Save"), QKeySequence::Save, [this] {
    std::string error;
    if (FrontView() && !SaveFront(&error))
      QMessageBox::warning(this, tr("Save"), QString::fromStdString(error));
  });
  file->addAction(tr("Save &As…"), QKeySequence::SaveAs, [this] { ChooseSaveAs(); });
  file->addAction(tr("&Close"), QKeySequence::Close, [this] { CloseFront(); });
  file->addSeparator();
  file->addAction(tr("&Quit"), QKeySequence::Quit, [this] { close(); });

  QMenu* edit = menuBar()->addMenu(tr("&Edit"));
  fUndo = edit->addAction(tr("&Undo"), QKeySequence::Undo, [this] { Undo(); });
  fRedo = edit->addAction(tr("&Redo"), QKeySequence::Redo, [this] { Redo(); });
  QObject::connect(edit, &QMenu::aboutToShow, [this] { ShowDocumentState(); });

  QMenu* view = menuBar()->addMenu(tr("&View"));
  view->addAction(tr("Fit Page in Window"), QKeySequence(tr("Ctrl+0")), [this] {
    if (DocumentView* front = FrontView())
      front->SetZoom(0);
  });
  view->addAction(tr("Actual Size"), QKeySequence(tr("Ctrl+1")), [this] {
    if (DocumentView* front = FrontView())
      front->SetZoom(1);
  });
  fWindowMenu = menuBar()->addMenu(tr("&Window"));

  QToolBar* pages = addToolBar(tr("Pages"));
  pages->setObjectName(QStringLiteral("pages"));
  pages->setMovable(false);
  pages
      ->addAction(tr("◀"),
                  [this] {
                    if (DocumentView* front = FrontView())
                      front->ShowPage(front->CurrentPage() - 1);
                    ShowDocumentState();
                  })
      ->setToolTip(tr("Previous page"));
  pages->addWidget(fPageLabel);
  pages
      ->addAction(tr("▶"),
                  [this] {
                    if (DocumentView* front = FrontView())
                      front->ShowPage(front->CurrentPage() + 1);
                    ShowDocumentState();
                  })
      ->setToolTip(tr("Next page"));
  pages->addSeparator();
  pages
      ->addAction(tr("Fit"),
                  [this] {
                    if (DocumentView* front = FrontView())
                      front->SetZoom(0);
                  })
      ->setToolTip(tr("Fit page in window"));
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
  for (HostDialog* dialog : fDialogs) {
    if (QWidget* widget = dialog->Mirror() ? dialog->Mirror()->WidgetFor(view) : nullptr)
      return widget;
  }
  for (PaletteDock* dock : fPalettes) {
    if (QWidget* widget = dock->Mirror() ? dock->Mirror()->WidgetFor(view) : nullptr)
      return widget;
  }
  return nullptr;
}

void Desktop::ViewChanged(IControlView* view) {
  for (HostDialog* dialog : fDialogs) {
    if (dialog->Mirror() && dialog->Mirror()->Changed(view))
      return;
  }
  for (PaletteDock* dock : fPalettes) {
    if (dock->Mirror() && dock->Mirror()->Changed(view))
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

std::int16_t Desktop::PresentAlert(const AlertRecord& alert) {
  QMessageBox box(BoxIcon(alert.icon), QStringLiteral("Layra"),
                  QString::fromStdString(alert.message), QMessageBox::NoButton, this);
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
    statusBar()->showMessage(tr("Ready"));
    QApplication::restoreOverrideCursor();
    RedrawDocuments();
  }
}

DocumentView* Desktop::AddDocument(const UIDRef& document) {
  auto* view = new DocumentView(document, fTabs);
  fTabs->setCurrentIndex(fTabs->addTab(view, DocumentName(document)));
  ShowDocumentState();
  return view;
}

DocumentView* Desktop::FrontView() const {
  return dynamic_cast<DocumentView*>(fTabs->currentWidget());
}

void Desktop::FrontChanged(int tab) {
  auto* view = dynamic_cast<DocumentView*>(fTabs->widget(tab));
  if (view)
    fHost.BringToFront(view->Document());
  ShowDocumentState();
}

void Desktop::ShowDocumentState() {
  DocumentView* front = FrontView();
  const UIDRef document = front ? front->Document() : UIDRef();
  setWindowTitle(front ? DocumentName(document) + QStringLiteral(" — Layra")
                       : QStringLiteral("Layra"));
  fPageLabel->setText(
      front ? tr(" Page %1 of %2 ").arg(front->CurrentPage() + 1).arg(front->PageCount())
            : QString());
  fUndo->setEnabled(front && CmdUtils::CanUndo(document.GetDataBase()));
  fRedo->setEnabled(front && CmdUtils::CanRedo(document.GetDataBase()));
  for (int i = 0; i < fTabs->count(); ++i) {
    auto* view = dynamic_cast<DocumentView*>(fTabs->widget(i));
    if (view)
      fTabs->setTabText(i, DocumentName(view->Document()) +
                               (IsModified(view->Document()) ? QStringLiteral(" *") : QString()));
  }
}

void Desktop::RedrawDocuments() {
  if (DocumentView* front = FrontView())
    front->Reload();
  ShowDocumentState();
}

bool Desktop::OpenFile(const std::filesystem::path& file, std::string* error) {
  const UIDRef document = fHost.OpenDocument(file, error);
  if (!document.IsValid())
    return false;
  AddDocument(document);
  return true;
}

bool Desktop::SaveFront(std::string* error) {
  DocumentView* front = FrontView();
  if (!front) {
    *error = "no document is open";
    return false;
  }
  const bool saved = fHost.SaveDocument(front->Document(), error);
  ShowDocumentState();
  return saved;
}

bool Desktop::SaveFrontAs(const std::filesystem::path& file, std::string* error) {
  DocumentView* front = FrontView();
  if (!front) {
    *error = "no document is open";
    return false;
  }
  const bool saved = fHost.SaveDocumentAs(front->Document(), file, error);
  ShowDocumentState();
  return saved;
}

void Desktop::CloseFront() {
  DocumentView* front = FrontView();
  if (!front)
    return;
  const UIDRef document = front->Document();
  fTabs->removeTab(fTabs->indexOf(front));
  front->deleteLater();
  fHost.CloseDocument(document);
  if (DocumentView* next = FrontView())
    fHost.BringToFront(next->Document());
  ShowDocumentState();
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

void Desktop::ChooseOpen() {
  const QString file = QFileDialog::getOpenFileName(
      this, tr("Open"), QString(), tr(kDocumentFilter), nullptr, QFileDialog::DontUseNativeDialog);
  std::string error;
  if (!file.isEmpty() && !OpenFile(file.toStdString(), &error))
    QMessageBox::warning(this, tr("Open"), QString::fromStdString(error));
}

void Desktop::ChooseSaveAs() {
  if (!FrontView())
    return;
  const QString file =
      QFileDialog::getSaveFileName(this, tr("Save As"), QString(), tr(kDocumentFilter), nullptr,
                                   QFileDialog::DontUseNativeDialog);
  std::string error;
  if (!file.isEmpty() && !SaveFrontAs(file.toStdString(), &error))
    QMessageBox::warning(this, tr("Save As"), QString::fromStdString(error));
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
