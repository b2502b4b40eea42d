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
#include <vector>

class KCommonPreferenceDialogController;

/** Every distinct row selected since the page came on screen, in order of first selection,
 *  with a copy of its node as it was then. */
struct VisitedPreferenceNodes {
  std::vector<NodeID> ids;
  std::vector<PnlTrvDataNode> nodes;

  void Clear() {
    ids.clear();
    nodes.clear();
  }
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
/** Shows the editor's value in the row being edited. */
void ShowEditedValueInTree();
/** Shows the editors that suit `node` and loads its row's value into them. */
void ShowPreferenceEditors(PnlTrvDataNode* node, const NodeID& nodeID);
/** What the row of `identifier` shows for `value`: the display hook's text when it asks for
 *  one (a masked password), else the value itself. */
PMString DisplayedPreferenceValue(const PMString& identifier, const PMString& value);

/** Which text of a row a lookup is for; the apply step names its key-text lookup apart. */
enum class RowText { kValue, kEntered, kKey, kKeyInApply };
/** The text data of one text of the row of `nodeID` on the page; null after a line on
 *  stdout names the missing link. */
InterfacePtr<ITextControlData> FindRowText(const NodeID& nodeID, RowText which);

/** Opens the preferences dialog on the plug-in's page; false when the host has none. */
bool OpenPreferencesDialog();
