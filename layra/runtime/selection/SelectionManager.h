#pragma once
// The selection of the active context and the host classes that suites stand on: the
// integrator suite, the layout and text selection suites, and the story's text model.

#include <layra/ISelectionManager.h>
#include <layra/host/ObjectModel.h>

#include "../model/RefCounted.h"

#include <vector>

class IDocument;

namespace layra {

class SelectionManager final : public RefCounted<ISelectionManager> {
public:
  SelectionKind GetKind() const override { return fKind; }
  bool SelectPageItems(const UIDList& items, Mode mode) override;
  bool SelectText(const UIDRef& story, std::int32_t start, std::int32_t end) override;
  void DeselectAll() override;
  UIDList GetSelectedItems() const override;
  IPMUnknown* QueryIntegratorSuite(PMIID suite) const override;

  /** The front document changed: what was selected belongs to the old one. */
  void SetDocument(IDocument* document);
  IDataBase* GetDataBase() const { return fDataBase; }
  UIDRef GetStory() const { return UIDRef(fDataBase, fStory); }
  std::int32_t GetStart() const { return fStart; }
  std::int32_t GetEnd() const { return fEnd; }

private:
  void Clear();
  void Changed();

  IDataBase* fDataBase = nullptr;
  SelectionKind fKind = SelectionKind::kNone;
  std::vector<UID> fItems;
  UID fStory = kInvalidUID;
  std::int32_t fStart = -1;
  std::int32_t fEnd = -1;
};

/** Whether `start` to `end` lies in a text of `length` characters; an `end` of -1 is a caret. */
bool IsTextRange(std::int32_t start, std::int32_t end, std::int32_t length);
/** The running host's selection manager; null when there is no active context. */
SelectionManager* CurrentSelection();
/** Makes the suite classes and the text model known to the object model. */
void RegisterSelectionClasses(ObjectModel& model, PluginID host);

} // namespace layra
