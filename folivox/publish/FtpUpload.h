#pragma once
// The FTP transfer state shared by the uploads of one send: one libcurl
// handle, made by the first upload and released when the send ends.

#include <layra/IDFile.h>

#include <cstdint>

/** UploadFile's result for a local file that could not be opened: reported, and kept. */
constexpr std::int32_t kUploadSkipped = -1;

/** Releases the shared handle so that the next send starts libcurl afresh. */
void ReleaseUploadHandle();
/** Deletes a local file once it was sent; prints a line when that fails. */
void DeleteLocalFile(const IDFile& file);

/** Ends the send's use of the shared handle on every way out. */
class UploadHandleScope {
public:
  UploadHandleScope() = default;
  ~UploadHandleScope() { ReleaseUploadHandle(); }
  UploadHandleScope(const UploadHandleScope&) = delete;
  UploadHandleScope& operator=(const UploadHandleScope&) = delete;
};
