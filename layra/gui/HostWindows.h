#pragma once
// The windows that hold a host view: a palette as a dock widget with its panel menu, and a
// dialog as a modal Qt dialog.

#include "ViewMirror.h"

#include <layra/IDs.h>
#include <layra/IPanelMgr.h>
#include <layra/host/Views.h>

#include <QDialog>
#include <QDockWidget>

#include <memory>

class QMenu;
class QToolButton;

namespace layra::gui {

/** The host's panel manager; null while no application is up. */
InterfacePtr<IPanelMgr> PanelManager();

class PaletteDock : public QDockWidget {
public:
  PaletteDock(WidgetID palette, const QString& title, ViewMirror::Runner run, QWidget* parent);
  ~PaletteDock() override;

  WidgetID Palette() const { return fPalette; }
  /** The palette's mirror; it stays while the palette is off screen, so that showing it
   *  again costs little. Null before the palette was first shown. */
  ViewMirror* Mirror() const { return fMirror.get(); }
  /** The palette came on screen (`root` its view) or went off it (null). */
  void Shown(IControlView* root);
  /** Lets go of the host's widgets (the window stops watching them). */
  void Drop();
  /** The panel menu, filled from the plug-ins' menu entries each time it opens. */
  QMenu* PanelMenu() const { return fMenu; }
  QToolButton* MenuButton() const { return fMenuButton; }
  /** Fills the panel menu now, as opening it does. */
  void FillPanelMenu();

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  WidgetID fPalette;
  ViewMirror::Runner fRun;
  std::unique_ptr<ViewMirror> fMirror;
  QMenu* fMenu;
  QToolButton* fMenuButton;
};

class HostDialog : public QDialog {
public:
  HostDialog(IControlView* root, ViewMirror::Runner run, QWidget* parent);
  ~HostDialog() override;

  IControlView* View() const { return fView; }
  ViewMirror* Mirror() const { return fMirror.get(); }
  /** The host closed the dialog: it lets go of the host's widgets and goes. */
  void Closed();

  /** Escape and the window's close button act as the dialog's Cancel button. */
  void reject() override;

private:
  IControlView* fView;
  std::unique_ptr<ViewMirror> fMirror;
};

/** Adds a plug-in's menu entry to `menu`; choosing it performs its action through `run`. */
void AddMenuEntry(QMenu* menu, const MenuEntry& entry, const ViewMirror::Runner& run);

/** Lets a mirror go after the event in progress, which may come from one of its widgets. */
void DisposeLater(std::unique_ptr<ViewMirror> mirror);

} // namespace layra::gui
