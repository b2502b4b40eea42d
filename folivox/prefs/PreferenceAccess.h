#pragma once
// How the plug-in reaches its stored preferences. Reading goes straight to the
// workspace's store; writing goes through a command so that it can be undone:
//
//   InterfacePtr<ICommonPreferenceData> current(GetPrefrenceData());
//   InterfacePtr<ICommonPreferenceData> data;
//   InterfacePtr<ICommand> command;
//   if (current && GetPreferecesForWritting(data, command)) {
//     data->CopyFrom(InterfacePtr<ICommonPreferenceData>(current).forget());
//     data->SetValue(key, value);
//     CmdUtils::ProcessCommand(command);
//   }
//
// A write replaces the whole stored dictionary, so what is to be kept must be
// carried over into the command's data first.

#include "prefs/ICommonPreferenceData.h"

#include <layra/ICommand.h>

/** The application workspace's store with one reference; null (and a line on stdout naming
 *  the missing object) when the session has no application, workspace or store. */
ICommonPreferenceData* GetPrefrenceData();

/** A new preference command aimed at the application workspace, and the store it carries. On
 *  success both outputs are replaced; on failure a line on stdout names the missing object
 *  and neither output changes. */
bool GetPreferecesForWritting(InterfacePtr<ICommonPreferenceData>& data,
                              InterfacePtr<ICommand>& command);
