#pragma once
// What the publishing controller asks of the panels, which sit above it: the plug-in fills
// these in when it is loaded, and a request left empty is not made.

/** Opens the plug-in's plain dialog. */
extern void (*gOpenPlainDialog)();
/** Shows in the send history palette the send just recorded. */
extern void (*gShowRecordedSend)();
