#pragma once
// The four steps of a dialog, which the host calls in this order: InitializeDialogFields
// when it opens; on OK ValidateDialogFields (a widget ID other than kInvalidWidgetID keeps it
// open), ApplyDialogFields, then ClosingDialog; on Cancel only ClosingDialog.

#include <layra/CPMUnknown.h>
#include <layra/WidgetDefs.h>

class IActiveContext;

class IDialogController : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDIALOGCONTROLLER;

  virtual void InitializeDialogFields(IActiveContext* context) = 0;
  virtual WidgetID ValidateDialogFields(IActiveContext* context) = 0;
  virtual void ApplyDialogFields(IActiveContext* context, const WidgetID& widgetID) = 0;
  virtual void ClosingDialog() = 0;
  virtual bool16 IsInitialized() const = 0;
};

class CDialogController : public CPMUnknown<IDialogController> {
public:
  explicit CDialogController(IPMUnknown* boss) : CPMUnknown<IDialogController>(boss) {}

  void InitializeDialogFields(IActiveContext*) override { fInitialized = kTrue; }
  WidgetID ValidateDialogFields(IActiveContext*) override { return kInvalidWidgetID; }
  void ApplyDialogFields(IActiveContext*, const WidgetID&) override {}
  void ClosingDialog() override {}
  bool16 IsInitialized() const override { return fInitialized; }

protected:
  void SetInitialized(bool16 initialized) { fInitialized = initialized; }

private:
  bool16 fInitialized = kFalse;
};
