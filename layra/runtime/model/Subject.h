#pragma once

#include <layra/CPMUnknown.h>
#include <layra/ISubject.h>

#include <memory>
#include <vector>

namespace layra {

/** The host's subject: remembers observers by their boss and the IID to query at change time.
 *  It holds no reference, only a weak one: an observer freed while still attached is
 *  skipped and forgotten. */
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
    // Null for an observer that is not a boss: it must detach before it goes.
    std::shared_ptr<const bool> alive;

    bool IsAlive() const { return !alive || *alive; }
    bool Matches(const Attachment& other) const {
      return observerBoss == other.observerBoss && protocol == other.protocol &&
             observerIID == other.observerIID;
    }
  };
  static Attachment Describe(IObserver* observer, PMIID protocol, PMIID observerIID);
  bool Find(const Attachment& wanted) const;
  void ForgetTheDead();

  std::vector<Attachment> fAttachments;
};

/** How many changes are being delivered now, one inside another. */
int DeliveryDepth();

} // namespace layra
