#pragma once
// Identifiers of the host's widgets: widget classes, the interfaces of widget bosses (each
// also the protocol on which that widget's subject announces changes), the messages sent
// on those protocols, and the standard widget IDs.

#include <layra/Export.h>
#include <layra/IDs.h>

using bool16 = bool;
constexpr bool16 kTrue = true;
constexpr bool16 kFalse = false;

// Interfaces of widget bosses; a control data's IID is also its protocol.
constexpr PMIID IID_ICONTROLVIEW{0x60A};
constexpr PMIID IID_IPANELCONTROLDATA{0x60B};
constexpr PMIID IID_IEVENTHANDLER{0x60C};
constexpr PMIID IID_IDIALOGCONTROLLER{0x60D};
constexpr PMIID IID_IPANELCREATOR{0x60E};
constexpr PMIID IID_IDIALOGMGR{0x60F};
constexpr PMIID IID_IDIALOG{0x610};
constexpr PMIID IID_IBOOLEANCONTROLDATA{0x62B};
constexpr PMIID IID_ITEXTCONTROLDATA{0x62C};
constexpr PMIID IID_ISTRINGLISTCONTROLDATA{0x62D};
constexpr PMIID IID_IDROPDOWNLISTCONTROLLER{0x62E};
/** Protocol on which a push button announces a press (kTrueStateMessage). */
constexpr PMIID IID_IBUTTONDATA{0x62F};
constexpr PMIID IID_ITREEVIEWCONTROLLER{0x66A};
constexpr PMIID IID_ITREEVIEWHIERARCHYADAPTER{0x66B};
constexpr PMIID IID_ITREEVIEWWIDGETMGR{0x66C};
constexpr PMIID IID_ITREENODEIDDATA{0x66D};
constexpr PMIID IID_ITREEVIEWMGR{0x671};
/** Protocol of the active selection: the front document or its selection changed. */
constexpr PMIID IID_IACTIVESELECTION{0x680};

// Widget classes
constexpr ClassID kGenericPanelWidgetBoss{0x600};
constexpr ClassID kStaticTextWidgetBoss{0x601};
constexpr ClassID kEditBoxWidgetBoss{0x602};
constexpr ClassID kCheckBoxWidgetBoss{0x603};
constexpr ClassID kButtonWidgetBoss{0x604};
constexpr ClassID kIconButtonWidgetBoss{0x605};
constexpr ClassID kComboBoxWidgetBoss{0x606};
constexpr ClassID kSeparatorWidgetBoss{0x607};
constexpr ClassID kExpanderWidgetBoss{0x608};
constexpr ClassID kActiveSelectionBoss{0x609};

// Messages
constexpr ClassID kFalseStateMessage{1895};
constexpr ClassID kTrueStateMessage{1896};
constexpr ClassID kPopupChangeStateMessage{1909};
constexpr ClassID kTextChangeStateMessage{1931};
constexpr ClassID kListSelectionChangedMessage{0x66A};
constexpr ClassID kTreeRebuiltMessage{0x671};
constexpr ClassID kTreeNodeExpandedMessage{0x672};
constexpr ClassID kTreeNodeCollapsedMessage{0x673};
constexpr ClassID kActiveSelectionChangedMessage{0x680};
constexpr ClassID kSelectionAttributeChangedMessage{0x681};

// Standard widget IDs
constexpr WidgetID kInvalidWidgetID{0};
constexpr WidgetID kOKButtonWidgetID{1};
constexpr WidgetID kCancelButtonWidgetID{2};
constexpr WidgetID kTreeNodeExpanderWidgetID{3};

/** The edges of its parent a widget follows when the parent is resized. */
enum FrameBinding : std::uint32_t {
  kBindNone = 0,
  kBindLeft = 1,
  kBindTop = 2,
  kBindRight = 4,
  kBindBottom = 8,
  kBindAll = 15,
};

/** Resource type of a view: a tree of widgets in the plug-in's resources. */
using RsrcType = std::uint32_t;
constexpr RsrcType kViewRsrcType = 501;
using PMLocaleId = std::int32_t;

/** Names one resource of one plug-in. */
struct RsrcSpec {
  PMLocaleId locale = 0;
  PluginID plugin;
  RsrcType type = kViewRsrcType;
  RsrcID id;
};

/** A new view built from a view resource; its root widget's interface `iid` with one
 *  reference, or null when the resource is missing. */
LAYRA_API IPMUnknown* CreateObject(const RsrcSpec& resource, PMIID iid);

/** The host's standard event handler of a tree row, for a plug-in class that keeps it under
 *  an interface of its own and passes events on to it. */
constexpr ImplementationID kTreeNodeEventHandlerImpl{0x3410};
