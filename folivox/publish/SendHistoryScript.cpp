// The send history and its re-send for scripts and the command line: the request "history"
// with an optional count (`layra --history N`) answers the last sends, newest first, one line
// each; "resend" (`layra --resend`) uploads what sends left unsent, as the palette's menu does;
// "check-connection" (`layra --check-connection`) tests the stored configuration address and
// the server it names, one line a step; "discard-pending" (`layra --discard-pending`) asks,
// then deletes the unsent files of every open batch.

#include "base/ActionRequests.h"
#include "base/FolivoxIDs.h"
#include "base/ImplementationTable.h"
#include "prefs/PreferenceAccess.h"
#include "publish/ConnectionCheck.h"
#include "publish/PendingBatches.h"
#include "publish/Records.h"
#include "publish/SendHistory.h"

#include <layra/IScriptProvider.h>

#include <algorithm>

namespace {

constexpr std::size_t kDefaultCount = 20;

class FolivoHistoryScript : public CPMUnknown<IScriptProvider> {
public:
  explicit FolivoHistoryScript(IPMUnknown* boss) : CPMUnknown<IScriptProvider>(boss) {}
  bool CanHandle(const PMString& verb) const override {
    const std::string asked = verb.GetUTF8String();
    return asked == "history" || asked == "resend" || asked == "check-connection" ||
           asked == "discard-pending";
  }
  ErrorCode HandleRequest(const PMString& verb, const K2Vector<PMString>& arguments,
                          PMString& answer) override {
    if (verb.GetUTF8String() == "resend")
      return Resend(arguments, answer);
    if (verb.GetUTF8String() == "check-connection")
      return CheckConnection(answer);
    if (verb.GetUTF8String() == "discard-pending")
      return Discard(arguments, answer);
    return History(arguments, answer);
  }

private:
  static ErrorCode Resend(const K2Vector<PMString>& arguments, PMString& answer) {
    if (!arguments.empty()) {
      answer = PMString("resend takes no arguments\n", PMString::kDontTranslateDuringCall);
      return kFailure;
    }
    // Through the action, as the menu does: the action component owns the configuration. How
    // it went is in its result lines, which give the program its exit status.
    folivox::PerformActionInActiveContext(kFolivoResendActionID);
    return kSuccess;
  }

  static ErrorCode Discard(const K2Vector<PMString>& arguments, PMString& answer) {
    if (!arguments.empty()) {
      answer = PMString("discard-pending takes no arguments\n", PMString::kDontTranslateDuringCall);
      return kFailure;
    }
    // It asks first; how it went is in its result line.
    DiscardPendingBatches();
    return kSuccess;
  }

  static ErrorCode CheckConnection(PMString& answer) {
    InterfacePtr<ICommonPreferenceData> store(GetPrefrenceData());
    const std::unique_ptr<PMString> address =
        store ? store->GetValue(PMString("FolivoHTTP", PMString::kDontTranslateDuringCall))
              : nullptr;
    const std::vector<CheckStep> steps =
        ::CheckConnection(address ? address->GetUTF8String() : std::string(), Shown::kInTrace);
    answer = PMString(CheckText(steps), PMString::kDontTranslateDuringCall);
    return CheckPassed(steps) ? kSuccess : kFailure;
  }

  static ErrorCode History(const K2Vector<PMString>& arguments, PMString& answer) {
    std::int32_t error = 0;
    const std::int32_t asked = arguments.empty() ? 0 : arguments[0].GetAsNumber(&error);
    if (arguments.size() > 1 || error != 0 || asked < 0) {
      answer = PMString("history takes one count of sends\n", PMString::kDontTranslateDuringCall);
      return kFailure;
    }
    const std::vector<SendRecord>& history = SendHistory();
    const std::size_t count =
        std::min(history.size(), asked > 0 ? static_cast<std::size_t>(asked) : kDefaultCount);
    std::string text;
    for (auto record = history.rbegin();
         record != history.rbegin() + static_cast<std::ptrdiff_t>(count); ++record)
      text += SendSummary(*record, BatchNote(*record)) + "\n";
    answer = PMString(text, PMString::kDontTranslateDuringCall);
    return kSuccess;
  }
};

folivox::RegisterImplementation<FolivoHistoryScript>
    gRegisterHistoryScript(kFolivoHistoryScriptImpl);

} // namespace
