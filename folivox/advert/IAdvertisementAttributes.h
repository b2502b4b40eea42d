#pragma once
// Advertisement attributes of a page item: one attribute text and named text values.

#include "base/FolivoxIDs.h"

#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

class IAdvertisementAttributes : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IADVERTISEMENTATTRIBUTES;

  virtual void SetAttributeText(const PMString& text) = 0;
  virtual const PMString& GetAttributeText() const = 0;
  /** Keys are used as given; no colon is appended. */
  virtual void SetValue(const PMString& key, const PMString& value) = 0;
  /** Owned by the attributes, valid until they next change; null when the key is absent. */
  virtual const PMString* GetValue(const PMString& key) const = 0;
};
