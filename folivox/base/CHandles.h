#pragma once
// The plug-in's owners for C handles: the C library's from the platform, and libcurl's. The host
// keeps its own, as a plug-in sees only its SDK.

#include <platform/CHandles.h>

#include <curl/curl.h>

using platform::CHandle;
using platform::FileHandle;

using CurlEasyHandle = CHandle<CURL, curl_easy_cleanup>;
using CurlMultiHandle = CHandle<CURLM, curl_multi_cleanup>;
using CurlUrlHandle = CHandle<CURLU, curl_url_cleanup>;
