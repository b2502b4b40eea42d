#include "ProgressWindow.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

namespace layra::gui {
namespace {
// Often enough that a click on Cancel is taken at once, seldom enough to cost nothing.
constexpr int kEventsEveryMs = 30;
} // namespace

ProgressWindow::ProgressWindow(QStatusBar* status, QWidget* parent)
    : QDialog(parent), fResult(new QLabel(status)), fTitle(new QLabel(this)),
      fBar(new QProgressBar(this)), fText(new QLabel(this)),
      fCancel(new QPushButton(tr("Cancel"), this)) {
  // A permanent field: the hints the status bar shows while the pointer moves never hide it.
  fResult->setObjectName(QStringLiteral("task-result"));
  fResult->setTextFormat(::Qt::PlainText);
  fResult->setMinimumWidth(1);
  status->addPermanentWidget(fResult, 1);
  setObjectName(QStringLiteral("task-progress"));
  setWindowTitle(QStringLiteral("Layra"));
  // Input reaches this dialog only while a task runs: nothing else may start in its middle.
  setWindowModality(::Qt::ApplicationModal);
  fTitle->setObjectName(QStringLiteral("task-title"));
  QFont bold = fTitle->font();
  bold.setBold(true);
  fTitle->setFont(bold);
  fText->setObjectName(QStringLiteral("task-text"));
  fText->setFixedWidth(460);
  fText->setTextFormat(::Qt::PlainText);
  fBar->setObjectName(QStringLiteral("task-bar"));
  fCancel->setObjectName(QStringLiteral("task-cancel"));
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(fCancel, QDialogButtonBox::RejectRole);
  QObject::connect(fCancel, &QPushButton::clicked, this, [this] { reject(); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fTitle);
  layout->addWidget(fBar);
  layout->addWidget(fText);
  layout->addWidget(buttons);
}

void ProgressWindow::Begin(const ProgressState& state) {
  fCancel->setEnabled(true);
  Show(state);
  show();
  raise();
  fSinceEvents.invalidate();
  TakeEvents();
}

void ProgressWindow::Update(const ProgressState& state) {
  Show(state);
  TakeEvents();
}

void ProgressWindow::End() {
  hide();
}

void ProgressWindow::Poll() {
  TakeEvents();
}

void ProgressWindow::Result(const ResultRecord& result) {
  const QString line = QString::fromStdString(result.line);
  fResult->setText(line);
  fResult->setToolTip(line);
  fResultShown = true;
}

bool ProgressWindow::TakeResultShown() {
  const bool shown = fResultShown;
  fResultShown = false;
  return shown;
}

// Esc, the Cancel button and closing the dialog all ask the task to stop; the dialog stays
// until the task ends, saying that it stops.
void ProgressWindow::reject() {
  if (!isVisible() || !IsTaskRunning())
    return;
  CancelTask();
  fCancel->setEnabled(false);
  fText->setText(tr("Cancelling…"));
}

void ProgressWindow::Show(const ProgressState& state) {
  fTitle->setText(QString::fromStdString(state.title));
  fBar->setRange(0, state.count > 0 ? state.count : 0);
  fBar->setValue(state.done);
  if (state.cancelled)
    return;
  // Long file names are cut in their middle, where they differ least; the dialog keeps its size.
  const QString text = QString::fromStdString(state.text);
  fText->setText(fText->fontMetrics().elidedText(text, ::Qt::ElideMiddle, fText->width()));
  fText->setToolTip(text);
}

void ProgressWindow::TakeEvents() {
  if (fSinceEvents.isValid() && fSinceEvents.elapsed() < kEventsEveryMs)
    return;
  fSinceEvents.start();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace layra::gui
