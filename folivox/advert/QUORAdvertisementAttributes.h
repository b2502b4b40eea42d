#pragma once
// The attributes as a page item stores them: a format marker (1), the attribute text and
// the value dictionary. On a command boss they carry the command's text and are not saved.

#include "advert/IAdvertisementAttributes.h"
#include "prefs/KDictionary.h"

#include <layra/CPMUnknown.h>
#include <layra/SnapshotSource.h>

class QUORAdvertisementAttributes : public CPMUnknown<IAdvertisementAttributes>,
                                    public layra::SnapshotSource {
public:
  explicit QUORAdvertisementAttributes(IPMUnknown* boss)
      : CPMUnknown<IAdvertisementAttributes>(boss) {}

  void SetAttributeText(const PMString& text) override;
  const PMString& GetAttributeText() const override { return fText; }
  void SetValue(const PMString& key, const PMString& value) override;
  const PMString* GetValue(const PMString& key) const override { return fValues.Find(key); }

  void ReadWrite(IPMStream* stream, ImplementationID implementation);

  // A command over many items snapshots each of them: a copy of the text and of the
  // dictionary, whose pairs are shared, is far cheaper than streaming them out and back.
  // The text and the values are parts of their own: the command sets the text, the values are
  // set directly, and undoing the one must not take back the other.
  std::shared_ptr<const void> TakeSnapshot(layra::SnapshotParts parts,
                                           std::size_t& bytes) const override;
  void RestoreSnapshot(const std::shared_ptr<const void>& snapshot) override;

private:
  PMString fText;
  KDictionary fValues;
};
