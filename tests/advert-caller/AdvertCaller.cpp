// Another plug-in's use of the advertisement suite: it gets the suite from the active
// selection and offers its operations to scripts and automation steps.
//
//   advert-can-apply              true or false
//   advert-apply TEXT             sets the text of the selected items (undoable)
//   advert-set KEY VALUE          sets a value on the selected items
//   advert-values KEY             the distinct values, one a line
//   advert-items                  the target items' UIDs
//   advert-texts                  each target item's UID and attribute text
//   advert-text-selection         the selected text range, or "none"

#include "PluginFile.h"
#include "advert/IAdvertisementAttributes.h"
#include "advert/IAdvertisementAttributesSuite.h"

#include <layra/CPlugIn.h>
#include <layra/IScriptProvider.h>
#include <layra/ISelectionManager.h>
#include <layra/ISession.h>

#include <string>

namespace {

using Arguments = K2Vector<PMString>;

std::string Items(const UIDList& items) {
  std::string text = "items:";
  for (std::int32_t i = 0; i < items.Length(); ++i)
    text += " " + std::to_string(items.At(i));
  return text + "\n";
}

std::string Texts(const UIDList& items) {
  std::string text;
  for (std::int32_t i = 0; i < items.Length(); ++i) {
    InterfacePtr<IAdvertisementAttributes> attributes(static_cast<IAdvertisementAttributes*>(
        items.GetRef(i).Instantiate(IID_IADVERTISEMENTATTRIBUTES)));
    text += std::to_string(items.At(i)) + ": " +
            (attributes ? "\"" + attributes->GetAttributeText().GetUTF8String() + "\"" : "none") +
            "\n";
  }
  return text;
}

ErrorCode Call(IAdvertisementAttributesSuite& suite, const std::string& verb,
               const Arguments& arguments, std::string& answer) {
  const std::size_t n = arguments.size();
  if (verb == "advert-can-apply" && n == 0) {
    answer = suite.CanApplyAttributes() ? "true\n" : "false\n";
    return kSuccess;
  }
  if (verb == "advert-apply" && n == 1)
    return suite.ApplyAttributeText(arguments[0]);
  if (verb == "advert-set" && n == 2) {
    PMString key = arguments[0];
    PMString value = arguments[1];
    suite.SetAttributeValue(key, value);
    return kSuccess;
  }
  if (verb == "advert-values" && n == 1) {
    PMString key = arguments[0];
    K2Vector<PMString> values;
    suite.GetAttributeValues(key, values);
    for (const PMString& value : values)
      answer += value.GetUTF8String() + "\n";
    return kSuccess;
  }
  UIDList items;
  suite.GetTargetItemList(&items);
  if (verb == "advert-items" && n == 0) {
    answer = Items(items);
    return kSuccess;
  }
  if (verb == "advert-texts" && n == 0) {
    answer = Texts(items);
    return kSuccess;
  }
  int32 start = -1;
  int32 end = -1;
  if (verb == "advert-text-selection" && n == 0) {
    answer = suite.GetTextSelection(&start, &end)
                 ? std::to_string(start) + " " + std::to_string(end) + "\n"
                 : "none\n";
    return kSuccess;
  }
  answer = "wrong number of arguments for " + verb + "\n";
  return kFailure;
}

class AdvertCaller : public CPMUnknown<IScriptProvider> {
public:
  explicit AdvertCaller(IPMUnknown* boss) : CPMUnknown<IScriptProvider>(boss) {}
  bool CanHandle(const PMString& verb) const override {
    return verb.GetUTF8String().starts_with("advert-");
  }
  ErrorCode HandleRequest(const PMString& verb, const Arguments& arguments,
                          PMString& answer) override {
    ISelectionManager* selection = GetActiveSelection();
    InterfacePtr<IAdvertisementAttributesSuite> suite(
        selection ? static_cast<IAdvertisementAttributesSuite*>(
                        selection->QueryIntegratorSuite(IID_IADVERTISEMENTATTRIBUTESSUITE))
                  : nullptr);
    if (!suite) {
      answer = PMString("the selection offers no advertisement suite\n",
                        PMString::kDontTranslateDuringCall);
      return kFailure;
    }
    std::string text;
    const ErrorCode result = Call(*suite, verb.GetUTF8String(), arguments, text);
    answer = PMString(text, PMString::kDontTranslateDuringCall);
    return result;
  }
};

class AdvertCallerPlugIn final : public CPlugIn {
public:
  std::string GetResourceFile() const override { return PluginFile(); }
  bool RegisterImplementations(PluginID id) override {
    const ImplementationRecord records[] = {
        {ImplementationID{0x910000}, &layra::CreateImplementation<AdvertCaller>,
         &layra::DestroyImplementation<AdvertCaller>, &layra::SizeOfImplementation<AdvertCaller>}};
    return RegisterRecords(id, records);
  }
};

AdvertCallerPlugIn gPlugIn;

} // namespace

extern "C" __attribute__((visibility("default"))) IPlugIn* GetPlugIn() {
  return &gPlugIn;
}
