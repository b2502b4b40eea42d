#include <xml/XmlDocument.h>

#include <CHandles.h>

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstdarg>
#include <cstdio>
#include <regex>

namespace layra::xml {
namespace {

// No NOENT (substitution) and no DTDLOAD: entities stay references and nothing outside the
// buffer is read. NOERROR/NOWARNING silence the default stderr reporting.
constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// What one parse learns about its own failure. Reached through its parser context only, so
// parses running in other threads never see it.
struct ParseOutcome {
  std::string firstError;
  std::string refusedEntity;
};

void SetError(std::string* error, std::string message) {
  if (error != nullptr) {
    *error = std::move(message);
  }
}

// libxml2 hands SAX and error callbacks the parser context as their user data.
ParseOutcome& OutcomeOf(void* parserContext) {
  return *static_cast<ParseOutcome*>(static_cast<xmlParserCtxt*>(parserContext)->_private);
}

std::string WithoutTrailingNewlines(const char* message) {
  std::string text = message == nullptr ? "unknown error" : message;
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
    text.pop_back();
  }
  return text;
}

// libxml2 names the line of the element a message concerns ("tag story line 5"): said once
// when it is the line of the error, and as where that element began when it is not.
std::string WithoutRepeatedLine(const std::string& message, int line) {
  static const std::regex kLineOfElement(" line ([0-9]+)(?= |$)");
  const std::string errorLine = std::to_string(line);
  std::string text;
  auto rest = message.cbegin();
  for (std::sregex_iterator match(message.begin(), message.end(), kLineOfElement), end;
       match != end; ++match) {
    text.append(rest, (*match)[0].first);
    if ((*match)[1].str() != errorLine)
      text += " begun on line " + (*match)[1].str();
    rest = (*match)[0].second;
  }
  return text.append(rest, message.cend());
}

// Later errors are mostly fallout of the first, which names the real problem.
void RecordError(void* parserContext, xmlErrorPtr error) {
  if (parserContext == nullptr || error == nullptr || error->level < XML_ERR_ERROR) {
    return;
  }
  ParseOutcome& outcome = OutcomeOf(parserContext);
  if (!outcome.firstError.empty()) {
    return;
  }
  outcome.firstError = "XML error on line " + std::to_string(error->line) + ": " +
                       WithoutRepeatedLine(WithoutTrailingNewlines(error->message), error->line);
}

// Stopping at the declaration means an entity bomb is refused before anything is expanded.
void RefuseEntity(void* parserContext, const xmlChar* name) {
  auto* context = static_cast<xmlParserCtxt*>(parserContext);
  ParseOutcome& outcome = OutcomeOf(context);
  if (outcome.refusedEntity.empty()) {
    outcome.refusedEntity = "entity declarations are not accepted (entity '" +
                            std::string(reinterpret_cast<const char*>(name)) + "' on line " +
                            std::to_string(xmlSAX2GetLineNumber(context)) + ")";
  }
  xmlStopParser(context);
}

void RefuseParsedEntity(void* parserContext, const xmlChar* name, int, const xmlChar*,
                        const xmlChar*, xmlChar*) {
  RefuseEntity(parserContext, name);
}

void RefuseUnparsedEntity(void* parserContext, const xmlChar* name, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
  RefuseEntity(parserContext, name);
}

// The parse running on this thread, which claims what libxml2 raises outside its context.
thread_local ParseOutcome* tCurrentParse = nullptr;

class CurrentParse {
public:
  explicit CurrentParse(ParseOutcome& outcome) : fPrevious(tCurrentParse) {
    tCurrentParse = &outcome;
  }
  ~CurrentParse() { tCurrentParse = fPrevious; }
  CurrentParse(const CurrentParse&) = delete;
  CurrentParse& operator=(const CurrentParse&) = delete;

private:
  ParseOutcome* fPrevious;
};

// A message belongs to the parse it arose in, whose caller reports the failure; only what no
// parse claims is reported here, once, as the host reports its own errors.
void Report(const std::string& message) {
  if (tCurrentParse != nullptr) {
    if (tCurrentParse->firstError.empty()) {
      tCurrentParse->firstError = "XML error: " + message;
    }
    return;
  }
  std::fprintf(stderr, "layra: XML: %s\n", message.c_str());
}

// Errors raised outside a parser context (a failed encoding conversion, the I/O error that
// follows it); errors of a context whose caller installed no handler of its own are its
// caller's to report.
void ReportUnclaimed(void*, xmlErrorPtr error) {
  if (error == nullptr || error->level < XML_ERR_ERROR || error->ctxt != nullptr) {
    return;
  }
  Report(WithoutTrailingNewlines(error->message));
}

// The generic channel gets printf-style pieces of a line.
void ReportGeneric(void*, const char* format, ...) {
  thread_local std::string line;
  char piece[512];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(piece, sizeof piece, format, arguments);
  va_end(arguments);
  line += piece;
  for (std::size_t end = line.find('\n'); end != std::string::npos; end = line.find('\n')) {
    if (end > 0) {
      Report(line.substr(0, end));
    }
    line.erase(0, end + 1);
  }
}

// The parser's global tables must be set up once before threads parse concurrently.
void InitializeParserOnce() {
  static const bool initialized = [] {
    xmlInitParser();
    return true;
  }();
  (void)initialized;
}

} // namespace

void RouteParserMessages() {
  InitializeParserOnce();
  xmlSetStructuredErrorFunc(nullptr, &ReportUnclaimed);
  xmlSetGenericErrorFunc(nullptr, &ReportGeneric);
}

void ReportParserMessage(const std::string& message) {
  Report(message);
}

void XmlDocument::DocDeleter::operator()(_xmlDoc* doc) const {
  xmlFreeDoc(doc);
}

XmlDocument::XmlDocument(DocPtr doc) : fDoc(std::move(doc)) {}

XmlDocument::~XmlDocument() = default;

std::unique_ptr<XmlDocument> XmlDocument::Parse(const unsigned char* data, std::size_t size,
                                                std::string* error) {
  if (data == nullptr || size == 0) {
    SetError(error, "XML document is empty");
    return nullptr;
  }
  if (size > INT_MAX) {
    SetError(error, "XML document of " + std::to_string(size) + " bytes is too large");
    return nullptr;
  }
  RouteParserMessages();
  const XmlParserContextHandle context(xmlNewParserCtxt());
  if (!context) {
    SetError(error, "out of memory starting the XML parser");
    return nullptr;
  }
  ParseOutcome outcome;
  const CurrentParse current(outcome);
  context->_private = &outcome;
  context->sax->serror = &RecordError;
  context->sax->entityDecl = &RefuseParsedEntity;
  context->sax->unparsedEntityDecl = &RefuseUnparsedEntity;
  DocPtr doc(xmlCtxtReadMemory(context.get(), reinterpret_cast<const char*>(data),
                               static_cast<int>(size), nullptr, nullptr, kParseOptions));
  if (!outcome.refusedEntity.empty()) {
    SetError(error, outcome.refusedEntity);
    return nullptr;
  }
  if (!doc) {
    SetError(error,
             outcome.firstError.empty() ? "XML document could not be parsed" : outcome.firstError);
    return nullptr;
  }
  return std::unique_ptr<XmlDocument>(new XmlDocument(std::move(doc)));
}

XmlNode XmlDocument::root() const {
  return XmlNode(reinterpret_cast<_xmlNode*>(fDoc.get()));
}

} // namespace layra::xml
