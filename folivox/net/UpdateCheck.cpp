#include "net/UpdateCheck.h"

#include <omnithread.h>

char gUpdateUrl[512] = {};
std::atomic<unsigned char> gUpdateUrlReady{0};

void UpdateCheckThread(void*) {
  // The query to the update server is not built yet: the worker ends at once and
  // nothing is offered.
}

void StartUpdateCheck() {
  omni_thread::create(&UpdateCheckThread, nullptr, omni_thread::PRIORITY_LOW);
}
