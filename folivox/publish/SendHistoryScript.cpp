// The send history for scripts and the command line (`layra --history N`): the request
// "history" with an optional count answers the last sends, newest first, one line each.

#include "frame/FolivoxIDs.h"
#include "frame/ImplementationTable.h"
#include "publish/SendHistory.h"

#include <layra/IScriptProvider.h>

#include <algorithm>

namespace {

constexpr std::size_t kDefaultCount = 20;

class FolivoHistoryScript : public CPMUnknown<IScriptProvider> {
public:
  explicit FolivoHistoryScript(IPMUnknown* boss) : CPMUnknown<IScriptProvider>(boss) {}
  bool CanHandle(const PMString& verb) const override { return verb.GetUTF8String() == "history"; }
  ErrorCode HandleRequest(const PMString&, const K2Vector<PMString>& arguments,
                          PMString& answer) override {
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
      text += SendSummary(*record) + "\n";
    answer = PMString(text, PMString::kDontTranslateDuringCall);
    return kSuccess;
  }
};

folivox::RegisterImplementation<FolivoHistoryScript>
    gRegisterHistoryScript(kFolivoHistoryScriptImpl);

} // namespace
