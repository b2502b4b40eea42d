#include "advert/QUORAdvertisementAttributes.h"

#include "frame/ImplementationTable.h"

#include <layra/IPMStream.h>

namespace {
folivox::RegisterImplementation<QUORAdvertisementAttributes>
    gAdvertisementAttributesImpl(kQUORAdvertisementAttributesImpl, true);
} // namespace

void QUORAdvertisementAttributes::SetAttributeText(const PMString& text) {
  PreDirty();
  fText = text;
}

void QUORAdvertisementAttributes::SetValue(const PMString& key, const PMString& value) {
  PreDirty();
  fValues.Set(key, value);
}

void QUORAdvertisementAttributes::ReadWrite(IPMStream* stream, ImplementationID) {
  std::int32_t marker = 1;
  stream->XferInt32(marker);
  fText.ReadWrite(stream);
  fValues.ReadWrite(stream);
}
