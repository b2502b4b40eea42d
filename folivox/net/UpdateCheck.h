#pragma once
// The update check that runs once per process on its own worker thread.

#include "net/UpdateServer.h"

#include <atomic>
#include <chrono>

/** The download address the worker found; read only after gUpdateUrlReady is seen set. */
extern char gUpdateUrl[512];
/** Set to 1 (with release ordering) once gUpdateUrl holds a complete address. */
extern std::atomic<unsigned char> gUpdateUrlReady;

/** Body of the worker thread; the argument is not used. */
void UpdateCheckThread(void* argument);
/** Initialises libcurl on the calling (main) thread, then starts the worker as a detached
 *  thread at low priority. */
void StartUpdateCheck();
/** How long the plug-in's shut-down waits for the worker. */
inline constexpr std::chrono::milliseconds kUpdateCheckShutdownWait{2000};
/** Tells a started worker to give up its exchange with the server and waits at most `limit`
 *  for it to finish; true when none is running. */
bool StopUpdateCheck(std::chrono::milliseconds limit);

/**
 * Asks `server` whether a newer build exists and publishes the address it offers in
 * gUpdateUrl. Blocks for as long as the server takes, or until `stop` is set; the worker
 * thread runs it with the built-in server.
 */
void RunUpdateCheck(const UpdateServer& server, const std::atomic<bool>& stop);
