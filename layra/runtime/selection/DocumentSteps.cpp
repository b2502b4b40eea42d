#include "DocumentSteps.h"

#include "../documents/Documents.h"
#include "SelectionManager.h"

#include <layra/CmdUtils.h>
#include <layra/IObjectModel.h>
#include <layra/IScriptProvider.h>
#include <layra/host/Host.h>

#include <cstdlib>
#include <ostream>

namespace layra {

const char* const kDocumentStepsSyntax = R"(
  select items ITEM... | select more items ITEM... | select text STORY START END | select none
  dump selection | undo | redo | save | reopen | script VERB "ARGUMENT"...
ITEM is a page item's UID or its "name"; END -1 is a caret at START)";

namespace {

using Words = std::vector<std::string>;

std::optional<std::int32_t> Number(const std::string& word) {
  char* end = nullptr;
  const long number = std::strtol(word.c_str(), &end, 0);
  if (word.empty() || *end != '\0')
    return std::nullopt;
  return static_cast<std::int32_t>(number);
}

// A page item by its UID or its name.
UID FindItem(DataBase& db, const std::string& word) {
  if (std::optional<std::int32_t> uid = Number(word))
    return ImplOf<PageItemImpl, IPageItem>(db, static_cast<UID>(*uid)) ? *uid : kInvalidUID;
  for (UID uid : db.UIDs()) {
    const PageItemImpl* item = ImplOf<PageItemImpl, IPageItem>(db, uid);
    if (item && item->name == word)
      return uid;
  }
  return kInvalidUID;
}

UID FindStory(DataBase& db, const std::string& name) {
  for (UID uid : db.UIDs()) {
    const StoryImpl* story = ImplOf<StoryImpl, IStory>(db, uid);
    if (story && story->name == name)
      return uid;
  }
  return kInvalidUID;
}

Result<void> SelectItems(SelectionManager& selection, DataBase& db, const Words& w,
                         std::size_t first, ISelectionManager::Mode mode) {
  UIDList items(&db);
  for (std::size_t i = first; i < w.size(); ++i) {
    const UID uid = FindItem(db, w[i]);
    if (uid == kInvalidUID)
      return Failure{"no page item \"" + w[i] + "\" in the front document"};
    items.Append(uid);
  }
  if (!selection.SelectPageItems(items, mode))
    return Failure{"the items cannot be selected"};
  return {};
}

Result<void> SelectText(SelectionManager& selection, DataBase& db, const Words& w) {
  const UID story = FindStory(db, w[2]);
  const std::optional<std::int32_t> start = Number(w[3]);
  const std::optional<std::int32_t> end = Number(w[4]);
  if (story == kInvalidUID)
    return Failure{"no story \"" + w[2] + "\" in the front document"};
  if (!start || !end || !selection.SelectText(UIDRef(&db, story), *start, *end))
    return Failure{"no text from " + w[3] + " to " + w[4] + " in story \"" + w[2] + "\""};
  return {};
}

void DumpSelection(const SelectionManager& selection, std::ostream& out) {
  const char* kinds[] = {"none", "layout", "text"};
  out << "selection: " << kinds[static_cast<int>(selection.GetKind())];
  const UIDList items = selection.GetSelectedItems();
  for (std::int32_t i = 0; i < items.Length(); ++i)
    out << ' ' << items.At(i);
  if (selection.GetKind() == SelectionKind::kText)
    out << " story " << selection.GetStory().GetUID() << " from " << selection.GetStart() << " to "
        << selection.GetEnd();
  out << '\n';
}

Result<void> Script(const Words& w, std::ostream& out) {
  const PMString verb(w[1], PMString::kDontTranslateDuringCall);
  K2Vector<PMString> arguments;
  for (std::size_t i = 2; i < w.size(); ++i)
    arguments.emplace_back(w[i], PMString::kDontTranslateDuringCall);
  for (ClassID provider : ObjectModel::Instance().ClassesWithInterface(IID_ISCRIPTPROVIDER)) {
    InterfacePtr<IScriptProvider> script(
        static_cast<IScriptProvider*>(CreateObject(provider, IID_ISCRIPTPROVIDER)));
    if (!script || !script->CanHandle(verb))
      continue;
    PMString answer;
    const ErrorCode result = script->HandleRequest(verb, arguments, answer);
    out << answer.GetUTF8String();
    if (result != kSuccess)
      return Failure{"script " + w[1] + " failed with error " + std::to_string(result)};
    return {};
  }
  return Failure{"no plug-in answers the script request \"" + w[1] + "\""};
}

Result<void> Reopen(Host& host, const UIDRef& front) {
  const IDFile* file = front.GetDataBase()->GetSysFile();
  if (!file)
    return Failure{"the front document was never saved"};
  const IDFile path = *file;
  host.CloseDocument(front);
  // The reason names the file already.
  if (const Result<UIDRef> reopened = host.OpenDocument(path.GetPath()); !reopened)
    return Failure{"cannot reopen the front document: " + reopened.error()};
  return {};
}

Result<void> FrontDocumentStep(Host& host, const std::string& verb) {
  const UIDRef front = host.FrontDocument();
  if (verb == "undo" || verb == "redo") {
    const bool done = verb == "undo" ? CmdUtils::UndoLast(front.GetDataBase())
                                     : CmdUtils::RedoLast(front.GetDataBase());
    if (!done)
      return Failure{"nothing to " + verb};
    return {};
  }
  if (verb == "reopen")
    return Reopen(host, front);
  if (const Result<void> saved = host.SaveDocument(front); !saved)
    return Failure{"cannot save: " + saved.error()};
  return {};
}

bool IsDocumentStep(const Words& w) {
  const std::size_t n = w.size();
  if (w[0] == "select")
    return (n >= 3 && w[1] == "items") || (n >= 4 && w[1] == "more" && w[2] == "items") ||
           (n == 5 && w[1] == "text") || (n == 2 && w[1] == "none");
  if (w[0] == "dump")
    return n == 2 && w[1] == "selection";
  return n == 1 && (w[0] == "undo" || w[0] == "redo" || w[0] == "save" || w[0] == "reopen");
}

} // namespace

std::optional<Result<void>> RunDocumentStep(const Words& w, std::ostream& out) {
  if (w[0] == "script" && w.size() >= 2)
    return Script(w, out);
  if (!IsDocumentStep(w))
    return std::nullopt;
  Host* host = Host::Current();
  SelectionManager* selection = CurrentSelection();
  if (!host || !selection || !host->FrontDocument().IsValid())
    return Failure{"no document is open"};
  auto& db = static_cast<DataBase&>(*host->FrontDocument().GetDataBase());
  if (w[0] == "dump") {
    DumpSelection(*selection, out);
    return Result<void>();
  }
  if (w[0] != "select")
    return FrontDocumentStep(*host, w[0]);
  if (w[1] == "items")
    return SelectItems(*selection, db, w, 2, ISelectionManager::Mode::kReplace);
  if (w[1] == "more")
    return SelectItems(*selection, db, w, 3, ISelectionManager::Mode::kAdd);
  if (w[1] == "text")
    return SelectText(*selection, db, w);
  selection->DeselectAll();
  return Result<void>();
}

} // namespace layra
