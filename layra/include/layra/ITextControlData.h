#pragma once
// The text of a static text or an edit box. Changes are announced on IID_ITEXTCONTROLDATA
// with kTextChangeStateMessage.

#include <layra/IPMUnknown.h>
#include <layra/PMString.h>
#include <layra/WidgetDefs.h>

class ITextControlData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ITEXTCONTROLDATA;

  /** A translatable text is shown translated by the current locale. */
  virtual void SetString(const PMString& text, bool16 invalidate = kTrue,
                         bool16 notifyOfChange = kTrue) = 0;
  virtual PMString GetString() const = 0;
  /** Whether the widget shows bullets instead of its text (a password edit box). */
  virtual bool16 IsPassword() const = 0;
  /** Shows the text as bullets, or as itself again. */
  virtual void SetPassword(bool16 password) = 0;
};
