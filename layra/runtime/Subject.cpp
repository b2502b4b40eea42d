#include "Subject.h"

#include <layra/IObserver.h>

#include <algorithm>

namespace layra {

Subject::Attachment Subject::Describe(IObserver* observer, PMIID protocol, PMIID observerIID) {
  // The observer's boss identifies it; the subject holds no reference, as observers
  // detach themselves before they go.
  InterfacePtr<IPMUnknown> boss(observer, IID_IUNKNOWN);
  return Attachment{boss.get(), protocol, observerIID};
}

void Subject::AttachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) {
  if (!observer || IsAttached(observer, protocol, observerIID))
    return;
  fAttachments.push_back(Describe(observer, protocol, observerIID));
}

void Subject::DetachObserver(IObserver* observer, PMIID protocol, PMIID observerIID) {
  if (!observer)
    return;
  const Attachment gone = Describe(observer, protocol, observerIID);
  std::erase(fAttachments, gone);
}

bool Subject::IsAttached(IObserver* observer, PMIID protocol, PMIID observerIID) const {
  if (!observer)
    return false;
  const Attachment wanted = Describe(observer, protocol, observerIID);
  return std::find(fAttachments.begin(), fAttachments.end(), wanted) != fAttachments.end();
}

void Subject::Change(ClassID theChange, PMIID protocol, void* changedBy) {
  // Observers may attach or detach while being told; each one still attached hears it once.
  const std::vector<Attachment> snapshot = fAttachments;
  InterfacePtr<ISubject> self(this, IID_ISUBJECT);
  for (const Attachment& attachment : snapshot) {
    if (attachment.protocol != protocol)
      continue;
    if (std::find(fAttachments.begin(), fAttachments.end(), attachment) == fAttachments.end())
      continue;
    InterfacePtr<IObserver> observer(attachment.observerBoss, attachment.observerIID);
    if (observer)
      observer->Update(theChange, self, protocol, changedBy);
  }
}

} // namespace layra
