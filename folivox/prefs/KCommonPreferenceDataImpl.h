#pragma once

#include "prefs/ICommonPreferenceData.h"

#include <layra/CPMUnknown.h>

class KCommonPreferenceDataImpl : public CPMUnknown<ICommonPreferenceData> {
public:
  explicit KCommonPreferenceDataImpl(IPMUnknown* boss) : CPMUnknown<ICommonPreferenceData>(boss) {}

  void SetValue(const PMString& key, const PMString& value) override;
  std::unique_ptr<PMString> GetValue(const PMString& key) const override;
  void CopyFrom(ICommonPreferenceData* other) override;
  KDictionary* GetDictionary() override { return &fDictionary; }

  void ReadWrite(IPMStream* stream, ImplementationID implementation);

private:
  KDictionary fDictionary;
};
