#include "HostWindows.h"

#include <layra/IApplication.h>
#include <layra/IBooleanControlData.h>
#include <layra/IPanelControlData.h>
#include <layra/IPanelMgr.h>
#include <layra/ISession.h>
#include <layra/host/Host.h>
#include <layra/host/Views.h>

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace layra::gui {
namespace {

constexpr int kPaletteMargin = 4;

/** The fly-out button's picture: a small triangle over three lines. */
QIcon FlyOutIcon() {
  QPixmap pixmap(14, 12);
  pixmap.fill(::Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QColor(0x33, 0x33, 0x33));
  for (int y : {5, 8, 11})
    painter.drawLine(1, y, 12, y);
  painter.setBrush(QColor(0x33, 0x33, 0x33));
  painter.drawPolygon(QPolygon({QPoint(9, 0), QPoint(13, 0), QPoint(11, 2)}));
  return QIcon(pixmap);
}

/** Holds a mirror until Qt's deferred deletions run. */
class MirrorHolder : public QObject {
public:
  explicit MirrorHolder(std::unique_ptr<ViewMirror> mirror) : fMirror(std::move(mirror)) {}

private:
  std::unique_ptr<ViewMirror> fMirror;
};
} // namespace

InterfacePtr<IPanelMgr> PanelManager() {
  InterfacePtr<IApplication> application(GetExecutionContextSession()->QueryApplication());
  return InterfacePtr<IPanelMgr>(application ? application->QueryPanelManager() : nullptr);
}

void DisposeLater(std::unique_ptr<ViewMirror> mirror) {
  if (!mirror)
    return;
  mirror->Release();
  (new MirrorHolder(std::move(mirror)))->deleteLater();
}

PaletteDock::PaletteDock(WidgetID palette, const QString& title, ViewMirror::Runner run,
                         QWidget* parent)
    : QDockWidget(title, parent), fPalette(palette), fRun(std::move(run)), fMenu(new QMenu(this)),
      fMenuButton(new QToolButton(this)) {
  setObjectName(QString::asprintf("palette-0x%x", palette.Get()));
  setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
              QDockWidget::DockWidgetFloatable);
  // A palette's title bar: its name, the fly-out menu button and the close box.
  auto* bar = new QWidget(this);
  bar->setAutoFillBackground(true);
  bar->setBackgroundRole(QPalette::Mid);
  auto* layout = new QHBoxLayout(bar);
  layout->setContentsMargins(6, 1, 2, 1);
  layout->setSpacing(2);
  auto* name = new QLabel(title, bar);
  QFont bold = name->font();
  bold.setBold(true);
  name->setFont(bold);
  layout->addWidget(name);
  layout->addStretch();
  fMenuButton->setParent(bar);
  fMenuButton->setIcon(FlyOutIcon());
  fMenuButton->setAutoRaise(true);
  fMenuButton->setToolTip(tr("Panel menu"));
  fMenuButton->setPopupMode(QToolButton::InstantPopup);
  fMenuButton->setMenu(fMenu);
  fMenuButton->setStyleSheet("QToolButton::menu-indicator { image: none; }");
  layout->addWidget(fMenuButton);
  auto* close = new QToolButton(bar);
  close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
  close->setAutoRaise(true);
  close->setIconSize(QSize(10, 10));
  QObject::connect(close, &QToolButton::clicked, this, &QDockWidget::close);
  layout->addWidget(close);
  setTitleBarWidget(bar);
  QObject::connect(fMenu, &QMenu::aboutToShow, this, &PaletteDock::FillPanelMenu);
}

PaletteDock::~PaletteDock() = default;

void AddMenuEntry(QMenu* menu, const MenuEntry& entry, const ViewMirror::Runner& run) {
  if (entry.separator) {
    menu->addSeparator();
    return;
  }
  QAction* action = menu->addAction(QString::fromStdString(entry.text));
  action->setEnabled(entry.enabled);
  const ActionID id = entry.action;
  QObject::connect(action, &QAction::triggered, [run, id] {
    run([id] {
      if (Host* host = Host::Current())
        static_cast<void>(host->PerformAction(id)); // a menu shows only declared actions
    });
  });
}

void PaletteDock::FillPanelMenu() {
  fMenu->clear();
  for (const MenuEntry& entry : layra::PanelMenu(fPalette))
    AddMenuEntry(fMenu, entry, fRun);
  fMenuButton->setEnabled(!fMenu->isEmpty());
}

void PaletteDock::Drop() {
  DisposeLater(std::move(fMirror));
  if (QWidget* old = widget()) {
    setWidget(nullptr);
    old->deleteLater();
  }
  hide();
}

void PaletteDock::Shown(IControlView* root) {
  if (!root) {
    hide();
    return;
  }
  if (fMirror && fMirror->View() == root) {
    show();
    return;
  }
  Drop();
  // A narrow margin around the palette's own widgets, as on a palette's card.
  auto* card = new QWidget(this);
  auto* layout = new QVBoxLayout(card);
  layout->setContentsMargins(kPaletteMargin, kPaletteMargin, kPaletteMargin, kPaletteMargin);
  fMirror = std::make_unique<ViewMirror>(root, card, fRun);
  fMirror->Root()->setMinimumSize(fMirror->Root()->size());
  layout->addWidget(fMirror->Root());
  setWidget(card);
  FillPanelMenu();
  show();
}

void PaletteDock::closeEvent(QCloseEvent* event) {
  // The host takes the palette off screen; its observers detach and the dock follows.
  event->ignore();
  if (InterfacePtr<IPanelMgr> panels = PanelManager())
    panels->HidePanelByWidgetID(fPalette);
}

HostDialog::HostDialog(IControlView* root, ViewMirror::Runner run, QWidget* parent)
    : QDialog(parent), fView(root) {
  setModal(true);
  const std::string title = DialogTitle(root);
  setWindowTitle(title.empty() ? QStringLiteral("Layra") : QString::fromStdString(title));
  fMirror = std::make_unique<ViewMirror>(root, this, std::move(run));
  setFixedSize(fMirror->Root()->size());
}

HostDialog::~HostDialog() = default;

void HostDialog::Closed() {
  DisposeLater(std::move(fMirror));
  fView = nullptr;
  hide();
  deleteLater();
}

void HostDialog::reject() {
  InterfacePtr<IPanelControlData> children(fView, UseDefaultIID());
  IControlView* cancel = children ? children->FindWidget(kCancelButtonWidgetID, 9999) : nullptr;
  if (!fMirror || !cancel)
    return;
  fMirror->Input(cancel, [](IControlView* button) {
    InterfacePtr<IBooleanControlData> state(button, UseDefaultIID());
    if (state)
      state->Select(kTrue);
  });
}

} // namespace layra::gui
