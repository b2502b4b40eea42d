#pragma once
// The plug-in's one persistent store of settings: a text value under a text key.
// The application workspace carries it, and so does the command that changes it.

#include "base/FolivoxIDs.h"
#include "prefs/KDictionary.h"

#include <layra/IPMUnknown.h>
#include <layra/PMString.h>

#include <memory>

class ICommonPreferenceData : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_ICOMMONPREFERENCEDATA;

  /** Stores `value` under `key`, with ':' appended to the key when it does not end in one. */
  virtual void SetValue(const PMString& key, const PMString& value) = 0;
  /** A copy of the value under `key` or, failing that, under `key` followed by ':'; null when
   *  neither is stored. */
  virtual std::unique_ptr<PMString> GetValue(const PMString& key) const = 0;
  /** Replaces every pair by those of `other` and releases `other`: the caller hands over the
   *  reference it passes. */
  virtual void CopyFrom(ICommonPreferenceData* other) = 0;
  virtual KDictionary* GetDictionary() = 0;
};
