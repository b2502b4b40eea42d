#pragma once
// The plug-in's owners for the handles of the C library and libcurl, so that every way out of a
// function gives them back. The host has its own: a plug-in sees only the host's SDK.

#include <curl/curl.h>

#include <cstdio>
#include <memory>

/** Gives a handle back with the C function that frees it. */
template <auto Free> struct CFree {
  template <typename T> void operator()(T* handle) const { Free(handle); }
};
template <typename T, auto Free> using CHandle = std::unique_ptr<T, CFree<Free>>;

inline void CloseFile(std::FILE* file) {
  std::fclose(file);
}
using FileHandle = CHandle<std::FILE, CloseFile>;
using CurlEasyHandle = CHandle<CURL, curl_easy_cleanup>;
using CurlMultiHandle = CHandle<CURLM, curl_multi_cleanup>;
using CurlUrlHandle = CHandle<CURLU, curl_url_cleanup>;
