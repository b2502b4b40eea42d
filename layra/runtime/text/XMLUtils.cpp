#include <layra/XMLUtils.h>

namespace XMLUtils {
namespace {

// A reader turns a raw carriage return into a line feed, and a raw line feed or tab inside an
// attribute into a space: those are written as references so that the text reads back as it was.
std::string Escape(std::string_view text, bool attribute) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    case '\r':
      out += "&#13;";
      break;
    case '\n':
      out += attribute ? "&#10;" : "\n";
      break;
    case '\t':
      out += attribute ? "&#9;" : "\t";
      break;
    default:
      out += c;
    }
  }
  return out;
}

} // namespace

std::string EscapeText(std::string_view text) {
  return Escape(text, false);
}

std::string EscapeAttribute(std::string_view text) {
  return Escape(text, true);
}

} // namespace XMLUtils
