#pragma once
// Where the update check sends its query.

#include <string>

struct UpdateServer {
  /** Host name or address, with ":port" when the server does not listen on 80. */
  std::string host;
  std::string user;
  std::string password;
  /** Start of the query path, up to where the first parameter goes. */
  std::string pathPrefix;
};

/** The server configured at build time; its texts are in clear only in the returned value. */
UpdateServer BuiltInUpdateServer();
