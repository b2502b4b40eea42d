#pragma once
// Identifiers of the preferences page, its tree and its rows.

#include "base/FolivoxIDs.h"

#include <layra/IPMUnknown.h>
#include <layra/WidgetDefs.h>

// Implementations
constexpr ImplementationID kCommonPreferenceHierarchyAdapterImpl{0x122507};
constexpr ImplementationID kCommonPreferenceMgrImpl{0x122508};
constexpr ImplementationID kCommonPrefeernceModelImpl{0x122509};
constexpr ImplementationID kCommonPreferencesNodeObserverImpl{0x12250a};
constexpr ImplementationID kCommonPreferenceDialogObserverImpl{0x12250b};
constexpr ImplementationID kCommonPreferenceDialogControllerImpl{0x12250c};
constexpr ImplementationID kCommonPreferenceDialogCreatorImpl{0x12250d};
constexpr ImplementationID kCommonPreferenceTreeViewEventHandlerImpl{0x12250e};

// Widgets of the page
constexpr WidgetID kCommonPreferencesPanelWidgetID{0x122509};
constexpr WidgetID kCommonPreferencesTreeViewWidgetID{0x122503};
constexpr WidgetID kCommonPreferencesEditBoxWidgetID{0x122507};
constexpr WidgetID kCommonPreferencesComboBoxWidgetID{0x122506};
constexpr WidgetID kCommonPreferencesBrowseButtonWidgetID{0x12250a};
constexpr WidgetID kCommonPreferencesTestButtonWidgetID{0x122532};
/** Over the editors: the label of the row they edit. */
constexpr WidgetID kCommonPreferencesEditedRowWidgetID{0x122504};

// Widgets of a row (view resource 1200)
constexpr WidgetID kCommonPreferencesNodeWidgetID{0x122505};
constexpr WidgetID kCommonPreferencesNodeLabelWidgetID{0x122502};
constexpr WidgetID kCommonPreferencesNodeValueWidgetID{0x122508};
constexpr WidgetID kCommonPreferencesNodeKeyWidgetID{0x12250b};

// The page row of the page list holds view 850, so the page is built from the next one.
constexpr RsrcID kCommonPreferencesPanelRsrcID{851};
constexpr RsrcID kCommonPreferencesNodeRsrcID{1200};
