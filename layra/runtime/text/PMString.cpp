#include <layra/PMString.h>

#include "StringTables.h"

#include <layra/IPMStream.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>
#include <vector>

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

template <class Number> Number ParseNumber(std::string_view text, std::int32_t* error) {
  text = Trimmed(text);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  Number value{};
  auto [end, status] = std::from_chars(text.data(), text.data() + text.size(), value);
  const bool ok = !text.empty() && status == std::errc() && end == text.data() + text.size();
  if (error)
    *error = ok ? 0 : 1;
  return ok ? value : Number{};
}

std::int32_t Clamp(std::int32_t value, std::int32_t low, std::int32_t high) {
  return std::max(low, std::min(value, high));
}

} // namespace

PMString::PMString(const char* text, TranslationFlag flag)
    : fText(text ? text : ""), fTranslatable(flag == kTranslateDuringCall) {}

PMString::PMString(std::string text, TranslationFlag flag)
    : fText(std::move(text)), fTranslatable(flag == kTranslateDuringCall) {}

PMString::PMString(const WideString& text) : fText(text.ToUTF8()), fTranslatable(false) {}

void PMString::Translate() {
  if (!fTranslatable)
    return;
  if (auto text = layra::StringTables::Instance().Lookup(fText))
    fText = *text;
  fTranslatable = false;
}

void PMString::AppendNumber(std::int32_t number) {
  fText += std::to_string(number);
}

void PMString::AppendNumber(double number, std::int32_t precision, bool roundToInteger,
                            bool padWithZeros) {
  if (roundToInteger)
    number = std::round(number);
  char buffer[64];
  std::to_chars_result result;
  if (precision < 0 || !padWithZeros)
    result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed);
  else
    result =
        std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::fixed, precision);
  if (result.ec == std::errc())
    fText.append(buffer, result.ptr);
}

void PMString::Insert(const PMString& text, std::int32_t position) {
  const auto at = static_cast<std::size_t>(Clamp(position, 0, CharCount()));
  fText.insert(at, text.fText);
}

void PMString::Remove(std::int32_t position, std::int32_t count) {
  if (position < 0 || position >= CharCount() || count <= 0)
    return;
  fText.erase(static_cast<std::size_t>(position), static_cast<std::size_t>(count));
}

std::int32_t PMString::GetAsNumber(std::int32_t* error) const {
  return ParseNumber<std::int32_t>(fText, error);
}

double PMString::GetAsDouble(std::int32_t* error) const {
  return ParseNumber<double>(fText, error);
}

std::int32_t PMString::Compare(bool caseSensitive, const PMString& other) const {
  if (caseSensitive)
    return fText.compare(other.fText);
  return ToLower().fText.compare(other.ToLower().fText);
}

std::int32_t PMString::IndexOfString(const PMString& text, std::int32_t startAt) const {
  if (startAt < 0 || startAt > CharCount())
    return -1;
  const auto found = fText.find(text.fText, static_cast<std::size_t>(startAt));
  return found == std::string::npos ? -1 : static_cast<std::int32_t>(found);
}

PMString PMString::Substring(std::int32_t position, std::int32_t count) const {
  PMString result;
  result.fTranslatable = false;
  if (position < 0 || position >= CharCount())
    return result;
  const auto length = count < 0 ? std::string::npos : static_cast<std::size_t>(count);
  result.fText = fText.substr(static_cast<std::size_t>(position), length);
  return result;
}

char PMString::GetChar(std::int32_t position) const {
  if (position < 0 || position >= CharCount())
    return '\0';
  return fText[static_cast<std::size_t>(position)];
}

PMString PMString::ToLower() const {
  PMString result(*this);
  std::transform(result.fText.begin(), result.fText.end(), result.fText.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return result;
}

PMString PMString::ToUpper() const {
  PMString result(*this);
  std::transform(result.fText.begin(), result.fText.end(), result.fText.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

namespace {

void PutLittleEndian(unsigned char* bytes, std::uint32_t value, int size) {
  for (int i = 0; i < size; ++i)
    bytes[i] = static_cast<unsigned char>((value >> (8 * i)) & 0xFF);
}

template <class Units> void WriteUnits(IPMStream* stream, const Units& units) {
  // Short texts, nearly all of them, are put together on the stack.
  unsigned char small[512];
  std::vector<unsigned char> large;
  const std::size_t size = 4 + 2 * units.size();
  unsigned char* bytes = small;
  if (size > sizeof small) {
    large.resize(size);
    bytes = large.data();
  }
  PutLittleEndian(bytes, static_cast<std::uint32_t>(units.size()), 4);
  for (std::size_t i = 0; i < units.size(); ++i)
    PutLittleEndian(bytes + 4 + 2 * i, static_cast<std::uint16_t>(units[i]), 2);
  stream->XferByte(bytes, size);
}

void WriteText(IPMStream* stream, const std::string& text) {
  // Most stored texts are ASCII: each byte is its own unit, with no conversion.
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii)
    WriteUnits(stream, std::string_view(text));
  else
    WriteUnits(stream, layra::UTF8ToUTF16(text, layra::InvalidUTF8::Keep));
}

std::u16string UnitsOf(const unsigned char* bytes, std::size_t count) {
  std::u16string units(count, u'\0');
  for (std::size_t i = 0; i < count; ++i)
    units[i] = static_cast<char16_t>(bytes[2 * i] | bytes[2 * i + 1] << 8);
  return units;
}

// The text of `count` little-endian UTF-16 units.
std::string TextOfUnits(const unsigned char* bytes, std::size_t count) {
  // Most stored texts are ASCII: each unit is its own byte, with no conversion.
  std::string text(count, '\0');
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[2 * i + 1] != 0 || bytes[2 * i] >= 0x80)
      return layra::UTF16ToUTF8(UnitsOf(bytes, count), layra::InvalidUTF8::Keep);
    text[i] = static_cast<char>(bytes[2 * i]);
  }
  return text;
}

} // namespace

void PMString::ReadWrite(IPMStream* stream) {
  // The count and the units go through the stream as one run of little-endian bytes.
  if (stream->IsWriting()) {
    WriteText(stream, fText);
    return;
  }
  std::int32_t count = 0;
  stream->XferInt32(count);
  const std::int64_t remaining = stream->RemainingBytes();
  // A damaged count must not make us allocate what the stream cannot hold.
  if (!stream->IsGood() || count < 0 || (remaining >= 0 && count > remaining / 2)) {
    stream->SetStreamState(kStreamStateFailure);
    return;
  }
  // Short texts, nearly all of them, are read onto the stack.
  unsigned char small[512];
  std::vector<unsigned char> large;
  const std::size_t size = 2 * static_cast<std::size_t>(count);
  const unsigned char* bytes = small;
  if (size <= sizeof small) {
    stream->XferByte(small, size);
  } else {
    // A stream that cannot tell its length is read in slices, so a forged count costs no
    // more memory than the stream really holds.
    constexpr std::size_t kSlice = 8192;
    for (std::size_t done = 0; done < size && stream->IsGood();) {
      const std::size_t slice = remaining >= 0 ? size - done : std::min(size - done, kSlice);
      large.resize(done + slice);
      done += stream->XferByte(large.data() + done, slice);
    }
    bytes = large.data();
  }
  if (stream->IsGood())
    fText = TextOfUnits(bytes, static_cast<std::size_t>(count));
}
