#pragma once

// Everything end-to-end tests need to run real servers on 127.0.0.1.
#include "FtpTestServer.h"
#include "HttpTestServer.h"
