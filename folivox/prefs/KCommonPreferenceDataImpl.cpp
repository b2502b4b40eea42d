#include "prefs/KCommonPreferenceDataImpl.h"

#include "base/ImplementationTable.h"
#include "prefs/PreferenceKey.h"

#include <layra/IPMStream.h>

namespace {

// Leads the stored pairs; files written so far all carry 1.
constexpr std::int32_t kStoreMarker = 1;

folivox::RegisterImplementation<KCommonPreferenceDataImpl>
    gCommonPreferenceDataImpl(kCommonPreferenceDataImpl, true);

} // namespace

void KCommonPreferenceDataImpl::SetValue(const PMString& key, const PMString& value) {
  PreDirty();
  fDictionary.Set(PreferenceKey(key), value);
}

std::unique_ptr<PMString> KCommonPreferenceDataImpl::GetValue(const PMString& key) const {
  const PMString* found = fDictionary.Find(key);
  if (!found) {
    PMString withColon(key);
    withColon.Append(":");
    found = fDictionary.Find(withColon);
  }
  return found ? std::make_unique<PMString>(*found) : nullptr;
}

void KCommonPreferenceDataImpl::CopyFrom(ICommonPreferenceData* other) {
  InterfacePtr<ICommonPreferenceData> handedOver(other);
  if (!handedOver)
    return;
  PreDirty();
  fDictionary = *handedOver->GetDictionary();
}

std::shared_ptr<const void> KCommonPreferenceDataImpl::TakeSnapshot(layra::SnapshotParts,
                                                                    std::size_t& bytes) const {
  bytes = fDictionary.Bytes();
  return std::make_shared<const KDictionary>(fDictionary);
}

void KCommonPreferenceDataImpl::RestoreSnapshot(const std::shared_ptr<const void>& snapshot) {
  fDictionary = *static_cast<const KDictionary*>(snapshot.get());
}

void KCommonPreferenceDataImpl::ReadWrite(IPMStream* stream, ImplementationID) {
  std::int32_t marker = kStoreMarker;
  stream->XferInt32(marker);
  fDictionary.ReadWrite(stream);
}
