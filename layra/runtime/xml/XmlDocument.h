#pragma once

#include <xml/XmlNode.h>

#include <cstddef>
#include <memory>
#include <string>

struct _xmlDoc;

namespace layra::xml {

// libxml2 writes what it raises outside a parse to standard error. After this call, made by
// every parse and by any other user of libxml2 on its thread, such messages go into the
// running parse's error, or else into one "layra: XML:" line.
void RouteParserMessages();

// Reports a parser message whose caller has no way to report it, on that same line.
void ReportParserMessage(const std::string& message);

// A parsed document. Parsing never touches the network or the file system and refuses any
// document that declares entities, which keeps entity expansion attacks out entirely.
// Parse is safe to call from several threads at once.
class XmlDocument {
public:
  // Null on failure, with the parser's message and line number in `error`.
  static std::unique_ptr<XmlDocument> Parse(const unsigned char* data, std::size_t size,
                                            std::string* error);

  ~XmlDocument();
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // The document node: its children are the root element and any comments, processing
  // instructions or doctype around it, in document order.
  XmlNode root() const;

private:
  // Defined where libxml2 is included, so that users of this header need none of it.
  struct DocDeleter {
    void operator()(_xmlDoc* doc) const;
  };
  using DocPtr = std::unique_ptr<_xmlDoc, DocDeleter>;

  explicit XmlDocument(DocPtr doc);

  DocPtr fDoc;
};

} // namespace layra::xml
