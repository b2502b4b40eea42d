#pragma once
// Identifiers of the host's own classes, interfaces and services.

#include <layra/IDs.h>

// Interfaces
constexpr PMIID IID_IPMSTREAM{0x1001};
constexpr PMIID IID_ISESSION{0x1002};
constexpr PMIID IID_IAPPLICATION{0x1003};
constexpr PMIID IID_IACTIVECONTEXT{0x1004};
constexpr PMIID IID_IACTIONMANAGER{0x1005};
constexpr PMIID IID_IACTIONCOMPONENT{0x1006};
constexpr PMIID IID_IWORKSPACE{0x1007};
constexpr PMIID IID_ISUBJECT{0x1008};
constexpr PMIID IID_IOBSERVER{0x1009};
constexpr PMIID IID_ICOMMAND{0x100A};
constexpr PMIID IID_IK2SERVICEPROVIDER{0x100B};
constexpr PMIID IID_ISTARTUPSHUTDOWNSERVICE{0x100C};
constexpr PMIID IID_IRESPONDER{0x100D};
constexpr PMIID IID_ISIGNALMGR{0x100E};
constexpr PMIID IID_IDOCUMENTSIGNALDATA{0x100F};
constexpr PMIID IID_IPANELMGR{0x1010};
constexpr PMIID IID_IIMPLEMENTATIONREGISTRY{0x1011};
constexpr PMIID IID_ICOMMANDSEQUENCE{0x1012};
constexpr PMIID IID_IOBJECTMODEL{0x120};
constexpr PMIID IID_IIMPLEMENTATIONUTILS{0x16427};
constexpr PMIID IID_IBROADCASTUTILS{0x16428};

// Classes
constexpr ClassID kInvalidClass{0};
constexpr ClassID kWorkspaceBoss{0x2201};
constexpr ClassID kPalettePanelWidgetBoss{0x617};
constexpr ClassID kDialogBoss{0x63e};
constexpr ClassID kPanelBoss{0x627};
constexpr ClassID kTreeViewWidgetBoss{0x6ad};
constexpr ClassID kTreeNodeWidgetBoss{0x6ac};

// Host implementations that plug-in classes may name
constexpr ImplementationID kStartupShutdownProviderImpl{0x3001};
constexpr ImplementationID kPanelServiceProviderImpl{0x3002};
constexpr ImplementationID kSubjectImpl{0x3003};
constexpr ImplementationID kWorkspaceImpl{0x3004};
constexpr ImplementationID kXmlDomParserImpl{0x3005};
constexpr ImplementationID kXmlDomServicesImpl{0x3006};
constexpr ImplementationID kImageFormatManagerImpl{0x3007};
constexpr ImplementationID kImageAttributesImpl{0x3008};

// Services
constexpr ServiceID kStartupShutdownService{0x3101};
constexpr ServiceID kPanelService{0x3102};
constexpr ServiceID kAfterOpenDocSignalResponderService{0xe0f};
constexpr ServiceID kBeforeSaveDocSignalResponderService{0xe10};
constexpr ServiceID kAfterSaveDocSignalResponderService{0xe11};
constexpr ServiceID kBeforeSaveAsDocSignalResponderService{0x16301};
constexpr ServiceID kAfterSaveAsDocSignalResponderService{0x16302};
constexpr ServiceID kBeforeCloseDocSignalResponderService{0x503};
constexpr ServiceID kAfterCloseDocSignalResponderService{0x504};
