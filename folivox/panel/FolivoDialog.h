#pragma once
// The plug-in's plain dialog: OK and Cancel close it, nothing else happens.

#include <layra/CDialogController.h>
#include <layra/CDialogObserver.h>

class FolivoDialogController : public CDialogController {
public:
  explicit FolivoDialogController(IPMUnknown* boss) : CDialogController(boss) {}
};

class FolivoDialogObserver : public CDialogObserver {
public:
  explicit FolivoDialogObserver(IPMUnknown* boss) : CDialogObserver(boss) {}
};

/** Opens the dialog of the plug-in's dialog resource. */
void OpenFolivoDialog();
