// The controller's bookkeeping around the store: the day the store was first used after it
// was emptied, the marker of a first run without a configuration address, and emptying the
// store of every page status.

#include "base/Alerts.h"
#include "base/Trace.h"
#include "prefs/KCommonPreferenceTypesList.h"
#include "prefs/PreferenceAccess.h"
#include "prefs/PreferenceKey.h"
#include "publish/FolivoActionComponent.h"

#include <layra/CmdUtils.h>
#include <layra/GlobalTime.h>

#include <cinttypes>
#include <cstdio>
#include <ctime>

namespace {

PMString Text(const char* text) {
  return PMString(text, PMString::kDontTranslateDuringCall);
}

std::tm LocalTime(std::int64_t seconds) {
  const std::time_t time = static_cast<std::time_t>(seconds);
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

/** Prints how old the stored cache date is; nothing depends on it. */
void PrintCacheAge(const PMString& stored) {
  char buffer[256] = {};
  std::snprintf(buffer, sizeof buffer, "%s", stored.GrabCString());
  int day = 0, month = 0, year = 0;
  std::sscanf(buffer, "%d_%d_%d", &day, &month, &year);
  folivox::Trace("Cache date = [%s]\n", buffer);
  folivox::Trace("%d, %d, %d\n", day, month, year);
  std::tm then{};
  then.tm_mday = day;
  then.tm_mon = month - 1;
  then.tm_year = year - 1900;
  then.tm_hour = 1;
  then.tm_min = 1;
  then.tm_isdst = -1;
  const GlobalTime cached(static_cast<std::int64_t>(std::mktime(&then)));
  folivox::Trace("before %" PRId64 "\n", GlobalTime::CurrentTime().SecondsSince1970());
  const GlobalTime now = GlobalTime::CurrentTime();
  folivox::Trace("str = %s\n", cached.GetDateAsText().GrabCString());
  folivox::Trace("str = %s\n", now.GetDateAsText().GrabCString());
  folivox::Trace("tt = %" PRId64 ", tt_now = %" PRId64 ", diff = %" PRId64 "\n",
                 cached.SecondsSince1970(), now.SecondsSince1970(),
                 now.SecondsSince1970() - cached.SecondsSince1970());
}

PMString TodayText() {
  const std::tm today = LocalTime(GlobalTime::CurrentTime().SecondsSince1970());
  char text[32];
  std::snprintf(text, sizeof text, "%.2d_%.2d_%.4d", today.tm_mday, today.tm_mon + 1,
                today.tm_year + 1900);
  return Text(text);
}

/** The store, and a command whose data already holds every entry of it. */
struct StoreWrite {
  InterfacePtr<ICommonPreferenceData> store;
  InterfacePtr<ICommonPreferenceData> data;
  InterfacePtr<ICommand> command;

  bool Open() {
    store.reset(GetPrefrenceData());
    return store && GetPreferecesForWritting(data, command);
  }
  void CarryOver() {
    store->AddRef(); // CopyFrom takes over the reference it is given
    data->CopyFrom(store.get());
  }
};

} // namespace

void FolivoActionComponent::CheckCacheDate() {
  StoreWrite write;
  if (!write.Open())
    return;
  std::unique_ptr<PMString> stored = write.store->GetValue(Text("FolivoCacheDate"));
  write.CarryOver();
  if (stored && !stored->IsEmpty()) {
    PrintCacheAge(*stored);
    return;
  }
  write.data->SetValue(Text("FolivoCacheDate:"), TodayText());
  CmdUtils::ProcessCommand(write.command);
}

void FolivoActionComponent::CheckFirstRunPreferences() {
  if (fFirstRunChecked)
    return;
  StoreWrite write;
  if (!write.Open())
    return;
  std::unique_ptr<PMString> address = write.store->GetValue(Text("FolivoHTTP"));
  if ((address && !address->IsEmpty()) ||
      write.store->GetValue(Text("FolivoAlreadySetPreferences"))) {
    fFirstRunChecked = true;
    return;
  }
  write.CarryOver();
  write.data->SetValue(Text("FolivoAlreadySetPreferences:"), Text(kPreferencesTrueValue));
  fFirstRunChecked = true;
  CmdUtils::ProcessCommand(write.command);
}

void FolivoActionComponent::ConfirmAndClearCache() {
  if (folivox::AskOkOrNo("0x122500kClearCacheInfoKey", kQuestionIcon))
    ClearCache();
}

void FolivoActionComponent::ClearCache() {
  folivox::Trace("Clearing cache...\n");
  StoreWrite write;
  if (!write.Open())
    return;
  for (const char* name : {"FolivoHTTP", "FolivoAlreadySetPreferences"}) {
    if (std::unique_ptr<PMString> value = write.store->GetValue(Text(name)))
      write.data->SetValue(PreferenceKey(Text(name)), *value);
  }
  CmdUtils::ProcessCommand(write.command);
  folivox::Trace("Clear cache completed.\n");
}
