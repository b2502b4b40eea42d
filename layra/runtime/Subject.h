#pragma once

#include <layra/CPMUnknown.h>
#include <layra/ISubject.h>

#include <vector>

namespace layra {

/** The host's subject: remembers observers by their boss and the IID to query at change time. */
class Subject : public CPMUnknown<ISubject> {
public:
  explicit Subject(IPMUnknown* boss) : CPMUnknown<ISubject>(boss) {}

  void AttachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) override;
  void DetachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) override;
  bool IsAttached(IObserver* observer, PMIID protocol, PMIID observerIID) const override;
  void Change(ClassID theChange, PMIID protocol, void* changedBy) override;
  void ModelChange(ClassID theChange, PMIID protocol, void* changedBy) override {
    Change(theChange, protocol, changedBy);
  }

private:
  struct Attachment {
    const IPMUnknown* observerBoss;
    PMIID protocol;
    PMIID observerIID;
    friend bool operator==(const Attachment&, const Attachment&) = default;
  };
  static Attachment Describe(IObserver* observer, PMIID protocol, PMIID observerIID);

  std::vector<Attachment> fAttachments;
};

} // namespace layra
