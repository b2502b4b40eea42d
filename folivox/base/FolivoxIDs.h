#pragma once
// Every identifier the plug-in owns: the plug-in prefix 0x122500 plus an offset,
// in the host's separate identifier spaces.

#include <layra/IDs.h>

constexpr std::uint32_t kFolivoPrefix = 0x122500;
constexpr PluginID kFolivoPluginID{kFolivoPrefix};

// Classes
constexpr ClassID kFolivoActionComponentBoss{0x122500};
constexpr ClassID kFolivoPanelWidgetBoss{0x122501};
constexpr ClassID kFolivoDialogBoss{0x122502};
constexpr ClassID kDocWchResponderServiceBoss{0x122503};
constexpr ClassID kQuorPreferenceCommandBoss{0x122504};
constexpr ClassID kCommonPreferencesTreeViewWidgetBoss{0x122505};
constexpr ClassID kCommonPreferencesPanelBoss{0x122506};
constexpr ClassID kCommonPreferencesNodeWidgetBoss{0x122507};
constexpr ClassID kFolivoStartupShutdownBoss{0x122509};
constexpr ClassID kQuorAdvertisementAttrCommandBoss{0x12250a};
constexpr ClassID kFolivoPageListWidgetBoss{0x12250b};
constexpr ClassID kFolivoPageNodeWidgetBoss{0x12250c};
constexpr ClassID kFolivoHistoryScriptBoss{0x122520};
constexpr ClassID kFolivoHistoryPanelWidgetBoss{0x122521};
constexpr ClassID kFolivoHistoryListWidgetBoss{0x122522};
constexpr ClassID kFolivoHistoryFilesWidgetBoss{0x122523};

// Implementations
constexpr ImplementationID kFolivoActionComponentImpl{0x122500};
constexpr ImplementationID kFolivoDialogControllerImpl{0x122501};
constexpr ImplementationID kFolivoDialogObserverImpl{0x122502};
constexpr ImplementationID kDocWchResponderImpl{0x122503};
constexpr ImplementationID kDocWchServiceProviderImpl{0x122504};
constexpr ImplementationID kCommonPreferenceDataImpl{0x122505};
constexpr ImplementationID kCommonPreferenceCommandImpl{0x122506};
constexpr ImplementationID kFolivoStartStopObserverImpl{0x12250f};
constexpr ImplementationID kQUORAdvertisementAttrCommandImpl{0x122510};
constexpr ImplementationID kQUORAdvertisementAttributesImpl{0x122511};
constexpr ImplementationID kQUORAdvertisementSuitAbstractCSBImpl{0x122512};
constexpr ImplementationID kQUORAdvertisementSuitLayoutCSBImpl{0x122513};
constexpr ImplementationID kQUORAdvertisementSuitTextCSBImpl{0x122516};
constexpr ImplementationID kFolivoSelectionObserverImpl{0x122517};
constexpr ImplementationID kTreeListAdapterImpl{0x122518};
constexpr ImplementationID kTreeListManagerImpl{0x122519};
constexpr ImplementationID kFolivoTreeInformatorImpl{0x12251a};
constexpr ImplementationID kFolivoTreeListNodeObserverImpl{0x12251c};
constexpr ImplementationID kFolivoHistoryScriptImpl{0x122520};
constexpr ImplementationID kHistoryPaletteObserverImpl{0x122521};
constexpr ImplementationID kHistoryListAdapterImpl{0x122522};
constexpr ImplementationID kHistoryListManagerImpl{0x122523};
constexpr ImplementationID kHistoryFilesAdapterImpl{0x122524};
constexpr ImplementationID kHistoryFilesManagerImpl{0x122525};

// Interfaces
constexpr PMIID IID_ICOMMONPREFERENCEDATA{0x122500};
constexpr PMIID IID_ICOMMONPREFEERNCEMODEL{0x122501};
constexpr PMIID IID_IPREFERENCESSHADOWEVENTHANDLER{0x122504};
constexpr PMIID IID_IADVERTISEMENTATTRIBUTES{0x122505};
constexpr PMIID IID_IADVERTISEMENTATTRIBUTESSUITE{0x122506};
constexpr PMIID IID_ITREEINFORMATOR{0x122507};

// Actions
constexpr ActionID kFolivoPanelActionID{0x122501};
constexpr ActionID kFolivoSeparator1ActionID{0x122502};
constexpr ActionID kFolivoDialogActionID{0x122504};
constexpr ActionID kFolivoSendPagesHiddenActionID{0x122505};
constexpr ActionID kFolivoAcquireConfigurationActionID{0x122506};
constexpr ActionID kFolivoToggleAllPageStatusesActionID{0x12250A};
constexpr ActionID kFolivoEnableAllPagesActionID{0x12250B};
constexpr ActionID kFolivoDisableAllPagesActionID{0x12250C};
constexpr ActionID kFolivoShowPreferencesActionID{0x12250D};
constexpr ActionID kFolivoInternalActionID{0x12250E};
constexpr ActionID kFolivoClearCacheActionID{0x12250F};
constexpr ActionID kFolivoMakePagesReadyAndSendActionID{0x122510};
constexpr ActionID kFolivoSendPagesActionID{0x122511};
constexpr ActionID kFolivoSeparator2ActionID{0x122512};
constexpr ActionID kFolivoHistoryPanelActionID{0x122513};
constexpr ActionID kFolivoResendActionID{0x122514};
constexpr ActionID kFolivoReloadConfigurationActionID{0x122515};

// Widgets
constexpr WidgetID kFolivoPanelWidgetID{0x122500};
constexpr WidgetID kFolivoDialogWidgetID{0x122501};
constexpr WidgetID kFolivoPageListWidgetID{0x12250C};
constexpr WidgetID kFolivoPageNodeWidgetID{0x12250D};
constexpr WidgetID kFolivoPageNameWidgetID{0x12250E};
constexpr WidgetID kPageStatusCheckboxWidgetID{0x12250F};
constexpr WidgetID kFolivoInvertStatusesButtonWidgetID{0x122510};
constexpr WidgetID kFolivoCheckAllButtonWidgetID{0x122525};
constexpr WidgetID kFolivoUncheckAllButtonWidgetID{0x122526};
constexpr WidgetID kFolivoSendButtonWidgetID{0x122527};
constexpr WidgetID kFolivoPageSentMarkWidgetID{0x122528};
constexpr WidgetID kFolivoHistoryPanelWidgetID{0x122529};
constexpr WidgetID kFolivoHistoryListWidgetID{0x12252A};
constexpr WidgetID kFolivoHistoryFilesWidgetID{0x12252B};
constexpr WidgetID kFolivoHistoryRowWidgetID{0x12252C};
constexpr WidgetID kFolivoHistoryMarkWidgetID{0x12252D};
constexpr WidgetID kFolivoHistoryTextWidgetID{0x12252E};
constexpr WidgetID kFolivoHistoryFileRowWidgetID{0x12252F};
constexpr WidgetID kFolivoHistoryFileTextWidgetID{0x122530};
constexpr WidgetID kFolivoHistoryResendButtonWidgetID{0x122531};
constexpr WidgetID kFolivoHistoryDetailWidgetID{0x122533};
constexpr WidgetID kFolivoHistoryDiscardButtonWidgetID{0x122534};

// Resources
constexpr RsrcID kFolivoDialogRsrcID{250};
constexpr RsrcID kFolivoPanelRsrcID{700};
constexpr std::int32_t kFolivoPageRowStyle = 800;
constexpr RsrcID kFolivoPageRowRsrcID{850};
constexpr RsrcID kFolivoHistoryPanelRsrcID{720};
constexpr std::int32_t kFolivoHistoryRowStyle = 810;
constexpr RsrcID kFolivoHistoryRowRsrcID{860};
constexpr std::int32_t kFolivoHistoryFileRowStyle = 820;
constexpr RsrcID kFolivoHistoryFileRowRsrcID{870};

// Messages
constexpr ClassID kPreferenceDataChangedMessage{0x122508};
constexpr ClassID kAdvertisementAttributesChangedMessage{0x122510};
