#pragma once

#include "prefs/ICommonPreferenceData.h"

#include <layra/CPMUnknown.h>
#include <layra/SnapshotSource.h>

class KCommonPreferenceDataImpl : public CPMUnknown<ICommonPreferenceData>,
                                  public layra::SnapshotSource {
public:
  explicit KCommonPreferenceDataImpl(IPMUnknown* boss) : CPMUnknown<ICommonPreferenceData>(boss) {}

  void SetValue(const PMString& key, const PMString& value) override;
  std::unique_ptr<PMString> GetValue(const PMString& key) const override;
  void CopyFrom(ICommonPreferenceData* other) override;
  KDictionary* GetDictionary() override { return &fDictionary; }

  void ReadWrite(IPMStream* stream, ImplementationID implementation);

  // The dictionary's pairs are shared copy-on-write, so a snapshot for undo is a copy. The
  // store is one part: every write replaces it whole.
  std::shared_ptr<const void> TakeSnapshot(layra::SnapshotParts parts,
                                           std::size_t& bytes) const override;
  void RestoreSnapshot(const std::shared_ptr<const void>& snapshot) override;

private:
  KDictionary fDictionary;
};
