#pragma once
// The host's own implementations: their numbers in one table, and how the host registers them.
// The SDK names those that plug-in classes may bind to; the rest are the host's alone. Both
// take part in the check below, so that no number is given twice.

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>
#include <layra/WidgetDefs.h>
#include <layra/host/ObjectModel.h>

#include <algorithm>
#include <array>
#include <functional>
#include <initializer_list>

namespace layra {

// Documents
constexpr ImplementationID kDocumentImpl{0x3010};
constexpr ImplementationID kPageListImpl{0x3011};
constexpr ImplementationID kPageImpl{0x3012};
constexpr ImplementationID kPageItemImpl{0x3013};
constexpr ImplementationID kStoryImpl{0x3014};

// Selection
constexpr ImplementationID kIntegratorTargetImpl{0x3040};
constexpr ImplementationID kLayoutTargetImpl{0x3041};
constexpr ImplementationID kTextTargetImpl{0x3042};
constexpr ImplementationID kTextModelImpl{0x3043};

// Widgets
constexpr ImplementationID kControlViewImpl{0x3400};
constexpr ImplementationID kPanelControlDataImpl{0x3401};
constexpr ImplementationID kTextControlDataImpl{0x3402};
constexpr ImplementationID kBooleanControlDataImpl{0x3403};
constexpr ImplementationID kStringListControlDataImpl{0x3404};
constexpr ImplementationID kDropDownListControllerImpl{0x3405};
constexpr ImplementationID kTreeNodeIDDataImpl{0x3406};

// Tree views and dialogs
constexpr ImplementationID kTreeViewMgrImpl{0x3411};
constexpr ImplementationID kTreeViewControllerImpl{0x3412};
constexpr ImplementationID kTreeViewEventHandlerImpl{0x3413};
constexpr ImplementationID kDialogObserverImpl{0x3414};
constexpr ImplementationID kDialogControllerImpl{0x3415};

/** Every implementation the host registers, in the order of their numbers. */
constexpr std::array kHostImplementations{kStartupShutdownProviderImpl,
                                          kPanelServiceProviderImpl,
                                          kSubjectImpl,
                                          kWorkspaceImpl,
                                          kXmlDomParserImpl,
                                          kXmlDomServicesImpl,
                                          kImageFormatManagerImpl,
                                          kImageAttributesImpl,
                                          kDocumentImpl,
                                          kPageListImpl,
                                          kPageImpl,
                                          kPageItemImpl,
                                          kStoryImpl,
                                          kIntegratorTargetImpl,
                                          kLayoutTargetImpl,
                                          kTextTargetImpl,
                                          kTextModelImpl,
                                          kControlViewImpl,
                                          kPanelControlDataImpl,
                                          kTextControlDataImpl,
                                          kBooleanControlDataImpl,
                                          kStringListControlDataImpl,
                                          kDropDownListControllerImpl,
                                          kTreeNodeIDDataImpl,
                                          kTreeNodeEventHandlerImpl,
                                          kTreeViewMgrImpl,
                                          kTreeViewControllerImpl,
                                          kTreeViewEventHandlerImpl,
                                          kDialogObserverImpl,
                                          kDialogControllerImpl};
static_assert(std::adjacent_find(kHostImplementations.begin(), kHostImplementations.end(),
                                 std::greater_equal<>()) == kHostImplementations.end(),
              "the host's implementation numbers must rise through the table, each once");

/** Registers the host's own implementations. Their numbers are fixed when the host is built,
 *  so a refusal is a fault of the build: it is printed and the program ends before anything
 *  runs on the host. */
void RegisterHostImplementations(ObjectModel& model, PluginID host,
                                 std::initializer_list<ImplementationRecord> records);

} // namespace layra
