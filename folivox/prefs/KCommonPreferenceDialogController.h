#pragma once
// The preferences page's dialog steps: rebuild the tree when the page is shown, write the
// values of the visited rows when the user confirms, tell the plug-in when it closes.

#include <layra/CDialogController.h>

class KCommonPreferenceDialogController : public CDialogController {
public:
  explicit KCommonPreferenceDialogController(IPMUnknown* boss);
  ~KCommonPreferenceDialogController() override;

  void InitializeDialogFields(IActiveContext* context) override;
  WidgetID ValidateDialogFields(IActiveContext* context) override;
  void ApplyDialogFields(IActiveContext* context, const WidgetID& widgetID) override;
  void ClosingDialog() override;
};
