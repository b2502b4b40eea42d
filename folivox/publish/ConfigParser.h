#pragma once
// Reads the configuration file into a tree of elements through the host's XML DOM.

#include "publish/ConfigNode.h"

#include <memory>
#include <string>

class IPMStream;
class IXMLDOMNode;

/** The tree of the document's first element; null, after a line on standard output, when the
 *  stream holds no well-formed XML. */
std::unique_ptr<ConfigNode> ParseConfigXML(IPMStream* stream);
/** The same for a file's whole text. */
std::unique_ptr<ConfigNode> ParseConfigText(const std::string& text);

/** Replaces `node` by `domNode` and everything below it. */
void BuildNode(ConfigNode& node, const IXMLDOMNode& domNode);
