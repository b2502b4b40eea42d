#pragma once
// The preferences page while it is on screen: the node being edited, the rows the user
// visited, and the operations that move values between the editors and the tree's rows.
// Main thread only; one page exists at a time.

#include "prefs/ICommonPreferenceData.h"
#include "prefs/PnlTrvDataNode.h"

#include <layra/IDialogMgr.h>
#include <layra/IPanelControlData.h>
#include <layra/ITextControlData.h>
#include <layra/NodeID.h>

#include <memory>
#include <optional>
#include <vector>

class KCommonPreferenceDialogController;

/** Every distinct row selected since the page came on screen, in order of first selection,
 *  with a copy of its node as it was then and the value the row holds for the store: as the
 *  user last entered it (a password in clear), or as the row showed it until they edit it.
 *  The value is kept here, not in the row's widgets, which the tree drops while the row's
 *  group is collapsed; confirming stores it all the same. */
struct VisitedPreferenceNodes {
  std::vector<NodeID> ids;
  std::vector<PnlTrvDataNode> nodes;
  std::vector<PMString> entered;

  void Clear() {
    ids.clear();
    nodes.clear();
    entered.clear();
  }
  /** Adds a row not visited yet, holding `shown`; nothing for one visited before. */
  void Add(const NodeID& id, const PnlTrvDataNode& node, const PMString& shown);
  /** Where the row of `id` is listed; nothing when it was not visited. */
  std::optional<std::size_t> IndexOf(const NodeID& id) const;
  /** The value held for the row of `id`; null when the row was not visited. */
  PMString* EnteredFor(const NodeID& id);
};

/** The page's controller; null while no page exists. */
extern KCommonPreferenceDialogController* gPreferencePanelController;
/** The node last selected, owned by the tree model; null after the tree is rebuilt. */
extern PnlTrvDataNode* gCurrentPreferenceNode;
extern std::int32_t gCurrentPreferenceType;
extern NodeID gCurrentPreferenceNodeID;
extern VisitedPreferenceNodes gVisitedPreferenceNodes;

/** The page's widgets, reached as every editor reaches them: through the application and its
 *  panel manager to the panel of the page's controller. Null after a line on stdout names
 *  the missing link. */
InterfacePtr<IPanelControlData> PreferencePagePanel();
/** The value in the editor that suits `type`; null when there is none or no choice is made. */
std::unique_ptr<PMString> GetEditedValue(std::int32_t type);
/** Keeps the editor's value for the row being edited and shows it there. */
void ShowEditedValueInTree();
/** Shows the editors that suit `node`, enabled, and loads the value its visited row holds
 *  into them. */
void ShowPreferenceEditors(PnlTrvDataNode* node, const NodeID& nodeID);
/** With no row selected there is nothing to edit: no row is current, and only the edit box
 *  shows, empty and disabled, so that no typing goes nowhere. */
void ShowNoPreferenceEditor();
/** What the row of a visited node shows for the value it holds; nothing for a row not
 *  visited, which shows its stored value. */
std::optional<PMString> VisitedRowText(const NodeID& nodeID);
/** What the row of `identifier` shows for `value`: the display hook's text when it asks for
 *  one (a masked password), else the value itself. */
PMString DisplayedPreferenceValue(const PMString& identifier, const PMString& value);

/** Which text of a row a lookup is for. */
enum class RowText { kValue, kKey };
/** The text data of one text of the row of `nodeID` on the page; null after a line on
 *  stdout names the missing link. */
InterfacePtr<ITextControlData> FindRowText(const NodeID& nodeID, RowText which);

/** Opens the preferences dialog on the plug-in's page; false when the host has none. */
bool OpenPreferencesDialog();
