#include "advert/QUORAdvertisementSuitAbstractCSB.h"

#include "base/ImplementationTable.h"

#include <boost/bind/bind.hpp>
#include <boost/function.hpp>
#include <layra/SelectionSuiteDispatch.h>

namespace {

folivox::RegisterImplementation<QUORAdvertisementSuitAbstractCSB>
    gAdvertisementSuitAbstractImpl(kQUORAdvertisementSuitAbstractCSBImpl);

using Suite = IAdvertisementAttributesSuite;
using boost::placeholders::_1;

} // namespace

bool16 QUORAdvertisementSuitAbstractCSB::CanApplyAttributes() {
  return SelectionDispatch::AnyTrue<Suite>(
      this, boost::function<bool16(Suite*)>(boost::bind(&Suite::CanApplyAttributes, _1)));
}

ErrorCode QUORAdvertisementSuitAbstractCSB::ApplyAttributeText(const PMString& text) {
  // Without a document there is no selection to dispatch to: nothing can be applied, which
  // is a failure as for an empty selection, not a success.
  if (SelectionDispatch::ConcreteSuites<Suite>(this).empty()) {
    ErrorUtils::PMSetGlobalErrorCode(kFailure);
    return kFailure;
  }
  return SelectionDispatch::ProcessWhileSuccess<Suite>(
      this, boost::function<ErrorCode(Suite*)>(
                boost::bind(&Suite::ApplyAttributeText, _1, boost::cref(text))));
}

bool16 QUORAdvertisementSuitAbstractCSB::CanGetAttributes() {
  return SelectionDispatch::AnyTrue<Suite>(
      this, boost::function<bool16(Suite*)>(boost::bind(&Suite::CanGetAttributes, _1)));
}

void QUORAdvertisementSuitAbstractCSB::GetAttributeValues(PMString& key,
                                                          K2Vector<PMString>& values) {
  SelectionDispatch::CallAll<Suite>(
      this, boost::function<void(Suite*)>(
                boost::bind(&Suite::GetAttributeValues, _1, boost::ref(key), boost::ref(values))));
}

void QUORAdvertisementSuitAbstractCSB::GetTargetItemList(UIDList* items) {
  SelectionDispatch::CallAll<Suite>(
      this, boost::function<void(Suite*)>(boost::bind(&Suite::GetTargetItemList, _1, items)));
}

void QUORAdvertisementSuitAbstractCSB::SetAttributeValue(PMString& key, PMString& value) {
  SelectionDispatch::CallAll<Suite>(
      this, boost::function<void(Suite*)>(
                boost::bind(&Suite::SetAttributeValue, _1, boost::ref(key), boost::ref(value))));
}

bool16 QUORAdvertisementSuitAbstractCSB::GetTextSelection(int32* start, int32* end) {
  return SelectionDispatch::AnyTrue<Suite>(
      this, boost::function<bool16(Suite*)>(boost::bind(&Suite::GetTextSelection, _1, start, end)));
}
