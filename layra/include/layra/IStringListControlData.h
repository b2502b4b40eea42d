#pragma once
// The entries of a combo box and the choice among them. A change of the choice is
// announced on IID_ISTRINGLISTCONTROLDATA with kPopupChangeStateMessage.

#include <layra/IPMUnknown.h>
#include <layra/PMString.h>
#include <layra/WidgetDefs.h>

class IStringListControlData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ISTRINGLISTCONTROLDATA;

  virtual void Clear(bool16 invalidate = kTrue, bool16 notifyOfChange = kFalse) = 0;
  /** Inserts at `at` (-1: at the end). */
  virtual void AddString(const PMString& text, std::int32_t at = -1, bool16 invalidate = kTrue,
                         bool16 notifyOfChange = kFalse) = 0;
  virtual void RemoveString(std::int32_t index, bool16 invalidate = kTrue,
                            bool16 notifyOfChange = kFalse) = 0;
  virtual std::int32_t Length() const = 0;
  /** Entry `index`; empty past the end. */
  virtual PMString GetString(std::int32_t index) const = 0;
  /** Position of the first entry equal to `text`, -1 when absent. */
  virtual std::int32_t GetIndex(const PMString& text) const = 0;
};

class IDropDownListController : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IDROPDOWNLISTCONTROLLER;
  static constexpr std::int32_t kNoSelection = -1;

  /** Chooses entry `index` (kNoSelection: none); out of range is refused. */
  virtual void Select(std::int32_t index, bool16 invalidate = kTrue,
                      bool16 notifyOfChange = kTrue) = 0;
  virtual std::int32_t GetSelected() const = 0;
};
