#pragma once
// The host's XML DOM. A stream is parsed into a document; nodes are reached
// from the document's node. Failures are null results, never exceptions.
// Documents are parsed without network access and without entity expansion.

#include <layra/IPMUnknown.h>
#include <layra/WideString.h>

#include <cstdint>
#include <string>
#include <vector>

class IPMStream;

constexpr ClassID kXMLDOMServicesBoss{0x17C05};
constexpr PMIID IID_IXMLDOMPARSER{0x17C0E};
constexpr PMIID IID_IXMLDOMSERVICES{0x17C13};
constexpr PMIID IID_IXMLDOMDOCUMENT{0x17C14};
constexpr PMIID IID_IXMLDOMNODE{0x17C15};

class IXMLDOMNode : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IXMLDOMNODE;
  virtual WideString GetNodeName() const = 0;
  /** False for text, comments, processing instructions and the doctype. */
  virtual bool IsElement() const = 0;
  /** The content of a text node; empty for elements. */
  virtual WideString GetNodeValue() const = 0;
  /** Null when the node has no child. */
  virtual IXMLDOMNode* GetFirstChild() const = 0;
  /** Every child in document order, text nodes included; each with one reference. */
  virtual std::vector<IXMLDOMNode*> GetChildren() const = 0;
  /** Attribute names in document order. */
  virtual std::vector<WideString> GetAttributeNames() const = 0;
  /** False when the element has no attribute of that exact name. */
  virtual bool GetAttributeValue(const WideString& name, WideString& value) const = 0;
};

class IXMLDOMDocument : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IXMLDOMDOCUMENT;
  /** The document node, whose first child is the first node of the file. */
  virtual IXMLDOMNode* GetNode() const = 0;
};

class IXMLDOMParser : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IXMLDOMPARSER;
  /** Null when the bytes are not well-formed XML or declare entities. */
  virtual IXMLDOMDocument* ParseBytes(const std::vector<unsigned char>& bytes) = 0;
  /** The reason the last parse was refused. */
  virtual std::string LastError() const = 0;
};

class IXMLDOMServices : public IPMUnknown {
public:
  static constexpr PMIID kDefaultIID = IID_IXMLDOMSERVICES;
  /** Reads the whole stream and parses it; null on failure, whose reason the host reports on
   *  standard error. The two further arguments are reserved and must be 0. */
  virtual IXMLDOMDocument* ParseStream(IPMStream* stream, std::int32_t options,
                                       std::int32_t reserved) = 0;
};
