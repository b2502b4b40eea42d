#pragma once
// Dialogs: a view from a plug-in's dialog resource, or the host's preferences dialog around
// a panel that a panel creator makes. Opening runs the controllers' InitializeDialogFields
// and brings the view on screen; OK and Cancel end it (see CDialogController).

#include <layra/IControlView.h>
#include <layra/WidgetDefs.h>

class IDialog : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDIALOG;

  virtual void Open() = 0;
  virtual bool16 IsOpen() const = 0;
  /** The dialog's root view, not referenced. */
  virtual IControlView* GetDialogPanel() const = 0;
  /** What OK does: validate, apply, close. False when a field was refused. */
  virtual bool16 Confirm() = 0;
  /** What Cancel does: close without applying. */
  virtual void Cancel() = 0;
};

class IDialogMgr : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDIALOGMGR;

  /** A new dialog from a dialog resource, with one reference; null when missing. */
  virtual IDialog* CreateNewDialog(const RsrcSpec& resource) = 0;
  /** The preferences dialog showing the panel that a panel creator declares with widget
   *  `panel`, with one reference; null when no plug-in declares it. */
  virtual IDialog* CreatePreferencesDialog(WidgetID panel) = 0;
};

/** The host's dialog manager with one reference. */
LAYRA_API IDialogMgr* QueryDialogMgr();
