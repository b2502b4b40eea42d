#pragma once
// A stream that the same code both reads and writes: every Xfer call reads
// into its argument when the stream is reading and writes it otherwise.

#include <layra/HostIDs.h>
#include <layra/IPMUnknown.h>

#include <cstddef>
#include <cstdint>
#include <type_traits>

enum StreamState { kStreamStateGood = 0, kStreamStateEOF = 1, kStreamStateFailure = 2 };

class IPMStream : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IPMSTREAM;

  virtual bool IsReading() const = 0;
  virtual bool IsWriting() const = 0;
  /** Transfers `count` bytes; returns how many were transferred. A short read marks the
   *  stream as at its end. */
  virtual std::size_t XferByte(unsigned char* buffer, std::size_t count) = 0;
  virtual void Flush() = 0;
  virtual StreamState GetStreamState() const = 0;
  virtual void SetStreamState(StreamState state) = 0;
  /** Bytes left to read, or -1 when the stream cannot tell. */
  virtual std::int64_t RemainingBytes() const = 0;
  /** Tells a writing stream that about `bytes` more bytes follow, so that one that keeps them in
   *  memory makes room once instead of growing step by step. Only a hint: writing more or
   *  fewer is fine, and streams that gain nothing from it ignore it. */
  virtual void ExpectBytes(std::size_t bytes) { static_cast<void>(bytes); }

  bool IsGood() const { return GetStreamState() == kStreamStateGood; }

  void XferByte(std::uint8_t& value) { XferByte(&value, 1); }
  void XferBool(bool& value) {
    std::uint8_t byte = value ? 1 : 0;
    XferByte(byte);
    value = byte != 0;
  }
  void XferInt16(std::int16_t& value) { XferLittleEndian(value); }
  void XferInt32(std::int32_t& value) { XferLittleEndian(value); }
  void XferInt64(std::int64_t& value) { XferLittleEndian(value); }
  void XferReal(double& value);

private:
  template <class T> void XferLittleEndian(T& value);
};

template <class T> void IPMStream::XferLittleEndian(T& value) {
  using U = std::make_unsigned_t<T>;
  unsigned char bytes[sizeof(T)];
  U bits = static_cast<U>(value);
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
  if (XferByte(bytes, sizeof(T)) != sizeof(T) || !IsReading())
    return;
  bits = 0;
  for (std::size_t i = 0; i < sizeof(T); ++i)
    bits |= static_cast<U>(static_cast<U>(bytes[i]) << (8 * i));
  value = static_cast<T>(bits);
}

inline void IPMStream::XferReal(double& value) {
  static_assert(sizeof(double) == sizeof(std::int64_t));
  std::int64_t bits;
  __builtin_memcpy(&bits, &value, sizeof bits);
  XferInt64(bits);
  if (IsReading())
    __builtin_memcpy(&value, &bits, sizeof bits);
}
