#pragma once
// Owners for the handles of the C library and libcurl, so that every way out of a function
// gives them back.

#include <curl/curl.h>

#include <cstdio>
#include <memory>

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileClose>;

struct CurlEasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
using CurlEasyHandle = std::unique_ptr<CURL, CurlEasyCleanup>;
