#pragma once
// The folder that holds every file of publishing: the configuration file, its download copy,
// the previews and the manifests.

#include <layra/IDFile.h>
#include <layra/PMString.h>

#include <optional>

/** The user's application-data folder; empty when there is none. */
PMString GetWorkingFolder();

/** `name` inside `folder`; none when either is empty. */
std::optional<IDFile> MakeFileInFolder(const PMString& folder, const PMString& name);

/** The configuration file in the working folder, and the file a download is written to
 *  before it replaces the configuration file. */
inline constexpr const char kConfigurationFileName[] = "FolivoPref.xml";
inline constexpr const char kConfigurationDownloadName[] = "FolivoPref_.xml";
