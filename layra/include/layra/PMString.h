#pragma once
// The host's text type. Held as UTF-8; streamed as length-prefixed UTF-16.
// A translatable string is a key that the current locale's string table may
// replace with its text (see Translate()).

#include <layra/Export.h>
#include <layra/IDs.h>
#include <layra/WideString.h>

#include <string>
#include <string_view>

class IPMStream;

class LAYRA_API PMString {
public:
  enum TranslationFlag { kTranslateDuringCall, kDontTranslateDuringCall };

  PMString() = default;
  PMString(const char* text, TranslationFlag flag = kTranslateDuringCall);
  explicit PMString(std::string text, TranslationFlag flag = kTranslateDuringCall);
  explicit PMString(const WideString& text);

  void SetTranslatable(bool translatable) { fTranslatable = translatable; }
  bool GetTranslatable() const { return fTranslatable; }
  /** Replaces a translatable key by its text in the current string table; afterwards the
   *  string is no longer translatable. A key without a text stays as it is. */
  void Translate();

  bool IsEmpty() const { return fText.empty(); }
  std::int32_t CharCount() const { return static_cast<std::int32_t>(fText.size()); }
  void Clear() { fText.clear(); }

  void Append(const PMString& text) { fText += text.fText; }
  void Append(std::string_view text) { fText += text; }
  void Append(const char* text) { fText += text; }
  void AppendNumber(std::int32_t number);
  /** Appends a real number in plain decimal: 0.5, 1, 2.25 (precision -1 = shortest exact form). */
  void AppendNumber(double number, std::int32_t precision = -1, bool roundToInteger = false,
                    bool padWithZeros = false);
  void Insert(const PMString& text, std::int32_t position);
  void Remove(std::int32_t position, std::int32_t count);

  /** The text as a whole number; *error is set to 1 when it is not one. */
  std::int32_t GetAsNumber(std::int32_t* error = nullptr) const;
  /** The text as a real number; *error is set to 1 when it is not one. */
  double GetAsDouble(std::int32_t* error = nullptr) const;

  /** 0 when equal, negative or positive like strcmp. */
  std::int32_t Compare(bool caseSensitive, const PMString& other) const;
  /** Position of the first occurrence at or after `startAt`, -1 when absent. */
  std::int32_t IndexOfString(const PMString& text, std::int32_t startAt = 0) const;
  bool Contains(const PMString& text) const { return IndexOfString(text) >= 0; }
  PMString Substring(std::int32_t position, std::int32_t count = -1) const;
  char GetChar(std::int32_t position) const;
  PMString ToLower() const;
  PMString ToUpper() const;

  /** The text as an 8-bit C string (UTF-8); valid until the string changes. */
  const char* GrabCString() const { return fText.c_str(); }
  const std::string& GetUTF8String() const { return fText; }
  WideString GetWString() const { return WideString(fText); }

  /** Streams the text as a 32-bit count of UTF-16 units followed by the units. */
  void ReadWrite(IPMStream* stream);

  friend bool operator==(const PMString& a, const PMString& b) { return a.fText == b.fText; }
  friend bool operator<(const PMString& a, const PMString& b) { return a.fText < b.fText; }

private:
  std::string fText;
  bool fTranslatable = true;
};
