#include "Subject.h"

#include "MainThread.h"
#include "UndoHistory.h"

#include <layra/IObserver.h>
#include <layra/host/ObjectModel.h>

#include <algorithm>

namespace layra {
namespace {

// How many changes are being delivered; what observers send in turn to a command's notice
// is not the command's own and is not recorded for undo.
int gDelivering = 0;

struct Delivery {
  Delivery() { ++gDelivering; }
  ~Delivery() { --gDelivering; }
  Delivery(const Delivery&) = delete;
  Delivery& operator=(const Delivery&) = delete;
};

} // namespace

int DeliveryDepth() {
  return gDelivering;
}

Subject::Attachment Subject::Describe(IObserver* observer, PMIID protocol, PMIID observerIID) {
  // A dying observer answers no query: it matches nothing, and its attachments are already
  // dead, so detaching from a destructor is harmless.
  InterfacePtr<IPMUnknown> boss(observer, IID_IUNKNOWN);
  const auto* owner = dynamic_cast<const layra::Boss*>(boss.get());
  return Attachment{boss.get(), protocol, observerIID, owner ? owner->Alive() : nullptr};
}

bool Subject::Find(const Attachment& wanted) const {
  return std::any_of(fAttachments.begin(), fAttachments.end(),
                     [&](const Attachment& a) { return a.IsAlive() && a.Matches(wanted); });
}

void Subject::ForgetTheDead() {
  std::erase_if(fAttachments, [](const Attachment& a) { return !a.IsAlive(); });
}

void Subject::AttachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) {
  ForgetTheDead();
  const Attachment attachment = Describe(observer, protocol, observerIID);
  if (!attachment.observerBoss || Find(attachment))
    return;
  fAttachments.push_back(attachment);
}

void Subject::DetachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) {
  ForgetTheDead();
  const Attachment gone = Describe(observer, protocol, observerIID);
  std::erase_if(fAttachments, [&](const Attachment& a) { return a.Matches(gone); });
}

bool Subject::IsAttached(IObserver* observer, PMIID protocol, PMIID observerIID) const {
  const Attachment wanted = Describe(observer, protocol, observerIID);
  return wanted.observerBoss && Find(wanted);
}

void Subject::Change(ClassID theChange, PMIID protocol, void* changedBy) {
  // Observers may attach, detach or die while being told; each one still attached and
  // alive hears it once.
  LAYRA_ASSERT_MAIN_THREAD();
  ForgetTheDead();
  if (const auto* owner = BossOf(this))
    UndoHistory::Instance().RecordNotice(*owner, theChange, protocol, gDelivering);
  const Delivery delivery;
  const std::vector<Attachment> snapshot = fAttachments;
  InterfacePtr<ISubject> self(this, IID_ISUBJECT);
  for (const Attachment& attachment : snapshot) {
    if (attachment.protocol != protocol || !Find(attachment))
      continue;
    InterfacePtr<IObserver> observer(attachment.observerBoss, attachment.observerIID);
    if (observer)
      observer->Update(theChange, self, protocol, changedBy);
  }
}

} // namespace layra
