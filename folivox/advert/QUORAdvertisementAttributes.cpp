#include "advert/QUORAdvertisementAttributes.h"

#include "frame/ImplementationTable.h"

#include <layra/IPMStream.h>

namespace {

folivox::RegisterImplementation<QUORAdvertisementAttributes>
    gAdvertisementAttributesImpl(kQUORAdvertisementAttributesImpl, true);

struct Snapshot {
  PMString text;
  KDictionary values;
};

} // namespace

void QUORAdvertisementAttributes::SetAttributeText(const PMString& text) {
  PreDirty();
  fText = text;
}

void QUORAdvertisementAttributes::SetValue(const PMString& key, const PMString& value) {
  PreDirty();
  fValues.Set(key, value);
}

std::shared_ptr<const void> QUORAdvertisementAttributes::TakeSnapshot(std::size_t& bytes) const {
  bytes = sizeof(Snapshot) + fText.GetUTF8String().capacity() + fValues.Bytes();
  return std::make_shared<const Snapshot>(Snapshot{fText, fValues});
}

void QUORAdvertisementAttributes::RestoreSnapshot(const std::shared_ptr<const void>& snapshot) {
  const auto& state = *static_cast<const Snapshot*>(snapshot.get());
  fText = state.text;
  fValues = state.values;
}

void QUORAdvertisementAttributes::ReadWrite(IPMStream* stream, ImplementationID) {
  std::int32_t marker = 1;
  stream->XferInt32(marker);
  fText.ReadWrite(stream);
  fValues.ReadWrite(stream);
}
