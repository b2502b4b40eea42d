#pragma once
// The "Send history" palette: the sends of the history, newest first, one row each with a
// mark for sent, failed or cancelled, and under them the files of the selected send.

#include <layra/CWidgetObserver.h>
#include <layra/ITreeViewHierarchyAdapter.h>
#include <layra/ITreeViewWidgetMgr.h>

/** The palette's two lists: the sends, and the files of the selected send. */
enum class HistoryList { kSends, kFiles };

template <HistoryList kList> class HistoryListAdapter : public ListTreeViewAdapter {
public:
  explicit HistoryListAdapter(IPMUnknown* boss) : ListTreeViewAdapter(boss) {}
  std::int32_t GetNumListItems() const override;
};

template <HistoryList kList> class HistoryListManager : public CTreeViewWidgetMgr {
public:
  explicit HistoryListManager(IPMUnknown* boss) : CTreeViewWidgetMgr(boss, 0) {}
  void RegisterStyles() override;

protected:
  bool16 ApplyDataToWidget(const NodeID& node, IPanelControlData* widgetList,
                           std::int32_t message) const override;
};

/** Shows the files of the send selected in the list. */
class HistoryPaletteObserver : public CWidgetObserver {
public:
  explicit HistoryPaletteObserver(IPMUnknown* boss) : CWidgetObserver(boss) {}
  void AutoAttach() override;
  void AutoDetach() override;
  void Update(const ClassID& theChange, ISubject* theSubject, const PMIID& protocol,
              void* changedBy) override;
};

/** Rebuilds the palette's lists after a send, when the palette exists. */
void RefreshHistoryPalette();
