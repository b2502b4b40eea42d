#pragma once
// The plug-ins' tasks in the window: a small modal dialog with the task's title, a bar, what
// it does now and a Cancel button (Esc too), and each result in a field of the status bar of
// its own, where it stays until the next result whatever hints the status bar shows. The task runs
// on the main thread; every report and question of the task lets the window repaint and take
// the clicks the dialog lets through.

#include <layra/host/Progress.h>

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QProgressBar;
class QPushButton;
class QStatusBar;

namespace layra::gui {

class ProgressWindow : public QDialog, public ProgressPresenter {
public:
  ProgressWindow(QStatusBar* status, QWidget* parent);

  void Begin(const ProgressState& state) override;
  void Update(const ProgressState& state) override;
  void End() override;
  void Poll() override;
  void Result(const ResultRecord& result) override;

  /** Whether a result was shown since the last call; the window then keeps it. */
  bool TakeResultShown();

protected:
  void reject() override;

private:
  void Show(const ProgressState& state);
  void TakeEvents();

  QLabel* fResult;
  QLabel* fTitle;
  QProgressBar* fBar;
  QLabel* fText;
  QPushButton* fCancel;
  QElapsedTimer fSinceEvents;
  bool fResultShown = false;
};

} // namespace layra::gui
