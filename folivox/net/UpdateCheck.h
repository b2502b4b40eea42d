#pragma once
// The update check that runs once per process on its own worker thread.

#include "net/UpdateServer.h"

#include <atomic>

/** The download address the worker found; read only after gUpdateUrlReady is seen set. */
extern char gUpdateUrl[512];
/** Set to 1 (with release ordering) once gUpdateUrl holds a complete address. */
extern std::atomic<unsigned char> gUpdateUrlReady;

/** Body of the worker thread; the argument is not used. */
void UpdateCheckThread(void* argument);
/** Starts the worker as a detached thread at low priority. */
void StartUpdateCheck();

/**
 * Asks `server` whether a newer build exists and publishes the address it offers in
 * gUpdateUrl. Blocks for as long as the server takes; the worker thread runs it with the
 * built-in server.
 */
void RunUpdateCheck(const UpdateServer& server);
