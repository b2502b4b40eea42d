#pragma once
// A dialog on screen: its view, and the dialog controllers in it run in the host's order.

#include "PanelManager.h"

#include <layra/CDialogController.h>

namespace layra {

class Dialog final : public RefCounted<IDialog> {
public:
  /** `page`: the preferences page inside the view, found by the panel manager while open. */
  Dialog(InterfacePtr<IControlView> root, IControlView* page);

  void Open() override;
  bool16 IsOpen() const override { return fOpen; }
  IControlView* GetDialogPanel() const override { return fRoot.get(); }
  bool16 Confirm() override;
  void Cancel() override;
  IControlView* Page() const { return fPage; }

private:
  std::vector<InterfacePtr<IDialogController>> Controllers() const;
  void Close();

  InterfacePtr<IControlView> fRoot;
  IControlView* fPage;
  bool fOpen = false;
};

} // namespace layra
