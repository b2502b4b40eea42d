// Every text the plug-in shows, in English and Polish, as the user must see it.

#pragma once

struct ExpectedText {
  const char* key;
  const char* english;
  const char* polish; // null: the Polish table has no text for the key
};

inline constexpr ExpectedText kExpectedTexts[] = {
    {"0x122500kFolivoPluginsMenuKey", "Folivox", "Folivox"},
    {"0x122500kFolivoDialogMenuItemKey", "Show dialog", "Show dialog"},
    {"0x122500kFolivoToggleAllPageStatusesPopupKey", "Invert page statuses",
     "Odwróć stany dla stron"},
    {"0x122500kFolivoDisableAllPagesPopupKey", "Make pages not ready",
     "Ustaw strony jako niegotowe"},
    {"0x122500kFolivoEnableAllPagesPopupKey", "Make pages ready", "Ustaw strony jako gotowe"},
    {"0x122500kClearCacheInfoKey",
     "Are you sure you want to remove your page status cache?\nThis function removes page statuses "
     "(ready/not ready) from Layra preferences thus freeing space.",
     "Czy chcesz usunąć cache status stron?\nTa funkcja usunie stany stron dokumentów "
     "(gotowe/niegotowe) z pliku preferencji Layra'a zwalniając trochę miejsca na dysku."},
    {"0x122500kFolivoMakePagesReadyAndSendKey", "Make pages ready and send",
     "Ustaw strony jako gotowe i wyślij"},
    {"0x122500kFolivoSendPagesKey", "Send", "Wyślij"},
    {"0x122500kFolivoPanelTitleKey", "Folivox", "Folivox"},
    {"0x122500kFolivoStaticTextKey", "Folivox", "Folivox"},
    {"0x122500kFolivoDialogTitleKey", "Folivox", "Folivox"},
    {"0x122500kFolivoShowPreferencesPopupKey", "Show preferences...", "Pokaż preferencje..."},
    {"0x122500kFolivoHTTPPreferenceKey",
     "HTTP location of the config file:", "Adres HTTP pliku konfiguracyjnego XML:"},
    {"0x122500kCouldNotGetPreferencesFileAddressKey",
     "Could not get the config file's address from the preferences. Did you enter it in the "
     "preferences?",
     "Nie udało się pobrać adresu HTTP pliku konfiguracyjnego .xml z preferencji programu. Czy "
     "adres ten został ustawiony?"},
    {"0x122500kCouldNotExportPage",
     "Folivox 1.0.2(10308):\nCould not export page preview. Could not generate preview.",
     "Folivox 1.0.2(10308):\nNie udało się wygenerować podglądu strony. Podgląd stronie nie został "
     "wysłany na serwer."},
    {"0x122500kDocumentNameUnfitForServer",
     "Folivox 1.0.2(10308):\nThe document name gives \"%s\", which cannot be part of a folder or "
     "file name on the ftp server. Nothing was exported or sent. Please rename the document.",
     "Folivox 1.0.2(10308):\nZ nazwy dokumentu wynika \"%s\", co nie może być częścią nazwy "
     "folderu ani pliku na serwerze ftp. Niczego nie wygenerowano ani nie wysłano. Proszę zmienić "
     "nazwę dokumentu."},
    {"0x122500kCURLInitFailed",
     "Folivox 1.0.2(10308):\nCould not initialize CURL. Please check your preferences XML file.",
     "Folivox 1.0.2(10308):\nNie udało się zainicjować biblioteki CURL. Proszę sprawdzić "
     "ustawienia w pliku konfiguracyjnym .xml."},
    {"0x122500kCouldNotGetTempFolder",
     "Folivox 1.0.2(10308):\nCould not get a folder path for temporary items.",
     "Folivox 1.0.2(10308):\nNie można było pobrać ścieżki dla plików tymczasowych (czy użytkownik "
     "ma silnie ograniczone prawa dostępu?)"},
    {"0x122500kCouldNotOpenFile", "Folivox 1.0.2(10308):\nCould not open file \"%s\".",
     "Folivox 1.0.2(10308):\nNie można było otworzyć pliku \"%s\"."},
    {"0x122500kCURLInitFailedButFileExistFromPreviousIntance",
     "Folivox 1.0.2(10308):\nFolivo plug-in is active but could not download the file \"%s\" from "
     "the server. But a config file from a previous instance has been found. Do you want to use "
     "the old file?",
     "Folivox 1.0.2(10308):\nNie udało się pobrać pliku \"%s\" z serwera. Naleziono nastomiast "
     "zapisaną wersję pobraną podczas poprzedniego startu aplikacji. Czy checsz użyć tego pliku?"},
    {"0x122500kCURLDidNotDownloadXMLFile",
     "Folivox 1.0.2(10308):\nCould not download the config file. Generation of previews and upload "
     "will be disabled until a successful download of a config file. Please open Folivox "
     "preferences and enter a valid href for the configuration file.",
     "Folivox 1.0.2(10308):\nPobieranie pliku z sieci nie powiodło się. Generacja podglądów i "
     "zapis na serwer będą niedostępne do czasu pomyślnego pobrania pliku konfiguracyjnego. Proszę "
     "wproawdzić nowy adres w panelu preferencji."},
    {"0x122500",
     "Folivox 1.0.2(10308):\nCould not parse Folivo.xml config file. Please check your config file "
     "for xml based errors and try again by relaunching Layra.",
     "Folivox 1.0.2(10308):\nNie udało się odczytać pliku konfiguracyjnego .xml. Proszę sprawdzić "
     "plik konfiguracyjny w poszukiwaniu błędów składni."},
    {"0x122500kDidNotStartAquiringPrefsFile",
     "Folivox 1.0.2(10308):\nPlug-In Folivox did not finish initialization. A config file must be "
     "aquired from the server. Please wait a few more seconds before running this command again.",
     "Folivox 1.0.2(10308):\nWtyczka Folivox nie zakończyła inicjacji. Plik konfiguracyjny musi "
     "zostać pobany z serwera WWW. Proszę odczekać kilka sekund i ponowić próbę."},
    {"0x122500kConfigFileDoesNotHaveProperGRABURLKey",
     "Folivox 1.0.2(10308):\nConfig file does not have a properly formatted GRABURL key. GRABURL "
     "should contain an URL to a ftp size with username and password. Please contact your system "
     "administrator.",
     "Folivox 1.0.2(10308):\nPlik konfiguracyjny xml nie zawiera dobrze sformatowanego klucza "
     "GRABURL. Klucz GRABURL tworzony jest podczas instanacji i zawiera zaszyfrowany adres do "
     "serwera FTP. Proszę skontaktować się ze swoim administratorem."},
    {"0x122500KCouldNotCreateXMLFileForGroupPreview",
     "Folivox 1.0.2(10308):\nCould not create a temporary file (%s) containing information on "
     "generated previews. Previews will not be sent to the ftp server. Please check your "
     "privileges.",
     "Folivox 1.0.2(10308):\nNie udało się utworzyć tymczasowego pliku (%s) zawierającego "
     "informację o generowanych podglądach stron. Podglądy stron nie zostaną przesłane na serwer. "
     "Proszę sprawdzić przywileje użytkownika lub naprawić przywileje na dysku."},
    {"0x122500kFolivoCouldNotDownloadConfigFile",
     "Folivox 1.0.2(10308):\nDid not download config file",
     "Folivox 1.0.2(10308):\nNie załadowano pliku xml"},
    {"0x122500kAutoUpdateKey",
     "A new version of Folivox has been found. Do you want to open your browser and download the "
     "new version?",
     "Znaleziono nową wersję wtyczki Folivox. Czy checsz otworzyć przeglądarkę internetową i "
     "pobrać nową wersję?"},
    {"0x122500kCommonPreferencesStringKey", "Folivox", "Folivox"},
    {"0x122500kShouldRestartLayraToTakeEffect",
     "Folivox 1.0.2(10308):\nConfiguration file address was changed. Please restart Layra to "
     "re-download configuration file.",
     "Folivox 1.0.2(10308):\nAdres pliku konfiguracyjnego został zmodyfikowany. Proszę uruchomić "
     "program Layra ponownie, aby załadować nowy plik konfiguracyjny."},
    {"0x122500kFolivoClearCacheKey", "Clear cache", "Wyczyść cache"},
    {"0x122500kFolivoSendPagesTooltipKey", "Send the pages to the server",
     "Wyślij strony na serwer"},
    {"0x122500kFolivoTottlePageStatusTooltipKey", "Invert all page statuses",
     "Odwróć stany wszystkich stron"},
    {"0x122500kFolivoEnableAllPageStatuses", "Check all pages", nullptr},
    {"0x122500kFolivoDisableAllPageStatuses", "Uncheck all pages", nullptr},
};
