#include "panel/FolivoDialog.h"

#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"

#include <layra/IDialogMgr.h>
#include <layra/WLocaleSetting.h>

namespace {
folivox::RegisterImplementation<FolivoDialogController>
    gRegisterDialogController(kFolivoDialogControllerImpl);
folivox::RegisterImplementation<FolivoDialogObserver>
    gRegisterDialogObserver(kFolivoDialogObserverImpl);
} // namespace

void OpenFolivoDialog() {
  InterfacePtr<IDialogMgr> dialogs(QueryDialogMgr());
  InterfacePtr<IDialog> dialog(
      dialogs ? dialogs->CreateNewDialog(RsrcSpec{WLocaleSetting::GetLocale(), kFolivoPluginID,
                                                  kViewRsrcType, kFolivoDialogRsrcID})
              : nullptr);
  if (dialog)
    dialog->Open();
}
