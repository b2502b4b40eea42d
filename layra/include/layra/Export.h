#pragma once
// liblayra is built with hidden visibility: only what carries LAYRA_API is visible to
// plug-ins and to programs that embed the host. Everything else is the host's own.

#define LAYRA_API __attribute__((visibility("default")))
