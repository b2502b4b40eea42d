#pragma once

#include <layra/CPMUnknown.h>
#include <layra/IXMLDOM.h>

namespace layra {

/** Parses bytes into a DOM document with the host's safe XML reader. */
class XmlDomParser : public CPMUnknown<IXMLDOMParser> {
public:
  explicit XmlDomParser(IPMUnknown* boss) : CPMUnknown<IXMLDOMParser>(boss) {}
  IXMLDOMDocument* ParseBytes(const std::vector<unsigned char>& bytes) override;
  std::string LastError() const override { return fLastError; }

private:
  std::string fLastError;
};

class XmlDomServices : public CPMUnknown<IXMLDOMServices> {
public:
  explicit XmlDomServices(IPMUnknown* boss) : CPMUnknown<IXMLDOMServices>(boss) {}
  IXMLDOMDocument* ParseStream(IPMStream* stream, std::int32_t options,
                               std::int32_t reserved) override;
};

} // namespace layra
