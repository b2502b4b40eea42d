#include <layra/host/PluginResources.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <elf.h>
#include <fcntl.h>
#include <layra/WidgetDefs.h>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "../CHandles.h"

#include <xml/XmlDocument.h>

namespace layra {
namespace {

constexpr const char* kSectionName = ".layra_resources";

// Reads pieces of a library file where its headers say they are, so start-up never holds
// more of a plug-in than its section table and its resources.
class LibraryFile {
public:
  explicit LibraryFile(const std::filesystem::path& file)
      : fFD(::open(file.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat status {};
    if (fFD.Get() >= 0 && ::fstat(fFD.Get(), &status) == 0 && S_ISREG(status.st_mode))
      fSize = static_cast<std::uint64_t>(status.st_size);
  }

  bool IsReadable() const { return fFD.Get() >= 0 && fSize > 0; }

  bool Read(std::uint64_t offset, std::uint64_t length, std::string& bytes) const {
    if (offset > fSize || length > fSize - offset)
      return false;
    bytes.resize(static_cast<std::size_t>(length));
    for (std::uint64_t done = 0; done < length;) {
      const ssize_t count =
          ::pread(fFD.Get(), bytes.data() + done, length - done, static_cast<off_t>(offset + done));
      if (count < 0 && errno == EINTR)
        continue;
      if (count <= 0)
        return false;
      done += static_cast<std::uint64_t>(count);
    }
    return true;
  }

private:
  Descriptor fFD;
  std::uint64_t fSize = 0;
};

bool FindSection(const LibraryFile& file, std::string& section, std::string& error) {
  Elf64_Ehdr header;
  std::string bytes;
  if (!file.Read(0, sizeof header, bytes) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0 ||
      bytes[EI_CLASS] != ELFCLASS64) {
    error = "not a 64-bit ELF file";
    return false;
  }
  std::memcpy(&header, bytes.data(), sizeof header);
  std::string table;
  if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum ||
      !file.Read(header.e_shoff, std::uint64_t{header.e_shnum} * sizeof(Elf64_Shdr), table)) {
    error = "damaged section table";
    return false;
  }
  auto sectionAt = [&](std::size_t index) {
    Elf64_Shdr s;
    std::memcpy(&s, table.data() + index * sizeof s, sizeof s);
    return s;
  };
  const Elf64_Shdr names = sectionAt(header.e_shstrndx);
  std::string nameTable;
  if (!file.Read(names.sh_offset, names.sh_size, nameTable)) {
    error = "damaged section names";
    return false;
  }
  const std::string_view wanted(kSectionName, std::strlen(kSectionName) + 1);
  for (std::size_t i = 0; i < header.e_shnum; ++i) {
    const Elf64_Shdr s = sectionAt(i);
    if (s.sh_name >= nameTable.size() ||
        std::string_view(nameTable).substr(s.sh_name, wanted.size()) != wanted)
      continue;
    if (!file.Read(s.sh_offset, s.sh_size, section)) {
      error = "damaged resource section";
      return false;
    }
    return true;
  }
  error = "no resource section";
  return false;
}

// The archive is a run of entries: a NUL-terminated file name, an 8-byte little-endian
// length, then that many bytes.
bool SplitArchive(std::string_view section, std::map<std::string, std::string>& files,
                  std::string& error) {
  while (!section.empty()) {
    const std::size_t end = section.find('\0');
    if (end == std::string_view::npos || section.size() - end - 1 < 8) {
      error = "damaged resource archive";
      return false;
    }
    std::string name(section.substr(0, end));
    section.remove_prefix(end + 1);
    std::uint64_t length = 0;
    for (int i = 0; i < 8; ++i)
      length |= static_cast<std::uint64_t>(static_cast<unsigned char>(section[i])) << (8 * i);
    section.remove_prefix(8);
    if (length > section.size()) {
      error = "damaged resource archive entry " + name;
      return false;
    }
    files[name] = std::string(section.substr(0, length));
    section.remove_prefix(length);
  }
  return true;
}

std::string Attribute(const xml::XmlNode& node, const char* name) {
  return node.attribute(name).value_or(std::string());
}

std::uint32_t Number(const xml::XmlNode& node, const char* name) {
  return static_cast<std::uint32_t>(std::strtoul(Attribute(node, name).c_str(), nullptr, 0));
}

bool Is(const xml::XmlNode& node, const char* name) {
  return node.isElement() && node.name() == name;
}

std::vector<InterfaceBinding> Bindings(const xml::XmlNode& parent) {
  std::vector<InterfaceBinding> bindings;
  for (const xml::XmlNode& child : parent.children()) {
    if (Is(child, "interface"))
      bindings.push_back({PMIID{Number(child, "iid")}, ImplementationID{Number(child, "impl")}});
  }
  return bindings;
}

void ParseStrings(const xml::XmlNode& node, PluginResources& resources) {
  const std::string table = Attribute(node, "table");
  auto& entries = resources.stringTables[table];
  for (const xml::XmlNode& child : node.children()) {
    if (Is(child, "string"))
      entries[Attribute(child, "key")] = Attribute(child, "text");
  }
  if (Attribute(node, "translate") == "no")
    resources.untranslatedTables.push_back(table);
}

std::uint32_t Binding(const std::string& edges) {
  std::uint32_t binding = kBindNone;
  for (auto [name, bit] :
       {std::pair{"left", kBindLeft}, std::pair{"top", kBindTop}, std::pair{"right", kBindRight},
        std::pair{"bottom", kBindBottom}, std::pair{"all", kBindAll}}) {
    if (edges.find(name) != std::string::npos)
      binding |= bit;
  }
  return binding;
}

PMRect Frame(const std::string& text) {
  PMRect frame;
  std::istringstream(text) >> frame.left >> frame.top >> frame.right >> frame.bottom;
  return frame;
}

WidgetDeclaration ParseWidget(const xml::XmlNode& node) {
  WidgetDeclaration widget{Attribute(node, "class"),
                           WidgetID{Number(node, "id")},
                           Frame(Attribute(node, "frame")),
                           Binding(Attribute(node, "bind")),
                           Attribute(node, "text"),
                           RsrcID{Number(node, "icon")},
                           Attribute(node, "password") == "true",
                           Attribute(node, "hidden") == "true",
                           {}};
  for (const xml::XmlNode& child : node.children()) {
    if (Is(child, "widget"))
      widget.children.push_back(ParseWidget(child));
  }
  return widget;
}

void ParseView(const xml::XmlNode& node, PluginResources& resources) {
  for (const xml::XmlNode& child : node.children()) {
    if (Is(child, "widget")) {
      resources.views.push_back({RsrcID{Number(node, "id")}, ParseWidget(child)});
      return;
    }
  }
}

// Images name a file of the same archive; one that is missing is reported and skipped.
void ParseImage(const xml::XmlNode& node, const std::map<std::string, std::string>& files,
                PluginResources& resources) {
  const std::string file = Attribute(node, "file");
  auto found = files.find(file);
  if (found == files.end()) {
    std::fprintf(stderr, "layra: plug-in %s: image %u names the missing file \"%s\"; skipped\n",
                 resources.name.c_str(), Number(node, "id"), file.c_str());
    return;
  }
  resources.images.push_back({RsrcID{Number(node, "id")}, Attribute(node, "type"), found->second});
}

void ParseElement(const xml::XmlNode& node, const std::map<std::string, std::string>& files,
                  PluginResources& resources) {
  if (Is(node, "class")) {
    resources.classes.push_back({ClassID{Number(node, "id")}, ClassID{Number(node, "parent")},
                                 Attribute(node, "name"), resources.id, Bindings(node)});
  } else if (Is(node, "add-in")) {
    for (const InterfaceBinding& binding : Bindings(node))
      resources.addIns.emplace_back(ClassID{Number(node, "class")}, binding);
  } else if (Is(node, "action")) {
    resources.actions.push_back({ActionID{Number(node, "id")}, ClassID{Number(node, "owner")},
                                 Attribute(node, "title"), Attribute(node, "area")});
  } else if (Is(node, "menu")) {
    resources.menus.push_back({ActionID{Number(node, "action")}, Attribute(node, "path"),
                               Attribute(node, "title"),
                               std::strtod(Attribute(node, "position").c_str(), nullptr)});
  } else if (Is(node, "panel")) {
    resources.panels.push_back({RsrcID{Number(node, "resource")}, WidgetID{Number(node, "widget")},
                                ClassID{Number(node, "class")}, Attribute(node, "title"),
                                ActionID{Number(node, "toggle-action")},
                                Attribute(node, "resizable") == "true", Attribute(node, "menu"),
                                resources.id});
  } else if (Is(node, "tooltip")) {
    resources.toolTips.push_back({WidgetID{Number(node, "widget")}, Attribute(node, "key")});
  } else if (Is(node, "locale")) {
    resources.localeIndex.emplace_back(static_cast<int>(Number(node, "code")),
                                       Attribute(node, "table"));
  } else if (Is(node, "strings")) {
    ParseStrings(node, resources);
  } else if (Is(node, "view")) {
    ParseView(node, resources);
  } else if (Is(node, "image")) {
    ParseImage(node, files, resources);
  } else if (Is(node, "version")) {
    resources.version = VersionDeclaration{Attribute(node, "plugin"), Attribute(node, "host"),
                                           Attribute(node, "text")};
  }
}

xml::XmlNode RootElement(const xml::XmlDocument& doc) {
  for (const xml::XmlNode& child : doc.root().children()) {
    if (child.isElement())
      return child;
  }
  return {};
}

bool ParseFile(const std::string& name, const std::string& bytes,
               const std::map<std::string, std::string>& files, PluginResources& resources,
               std::string& error) {
  const auto doc = xml::XmlDocument::Parse(reinterpret_cast<const unsigned char*>(bytes.data()),
                                           bytes.size(), nullptr);
  const xml::XmlNode root = doc ? RootElement(*doc) : xml::XmlNode();
  if (!Is(root, "resources")) {
    error = "resource file " + name + " is not a resources document";
    return false;
  }
  if (!Attribute(root, "plugin").empty())
    resources.id = PluginID{Number(root, "plugin")};
  if (!Attribute(root, "name").empty())
    resources.name = Attribute(root, "name");
  for (const xml::XmlNode& child : root.children())
    ParseElement(child, files, resources);
  return true;
}

} // namespace

Result<std::map<std::string, std::string>>
ReadResourceArchive(const std::filesystem::path& library) {
  const LibraryFile file(library);
  if (!file.IsReadable())
    return Failure{"cannot read " + library.string()};
  std::string section, error;
  std::map<std::string, std::string> files;
  if (!FindSection(file, section, error) || !SplitArchive(section, files, error))
    return Failure{error};
  return files;
}

Result<PluginResources> ParseResources(const std::map<std::string, std::string>& files) {
  PluginResources resources;
  std::string error;
  // Other files of the archive (images) are read when a resource names them.
  for (const auto& [name, bytes] : files) {
    if (name.ends_with(".xml") && !ParseFile(name, bytes, files, resources, error))
      return Failure{error};
  }
  if (!resources.id.IsValid())
    return Failure{"the resources name no plug-in ID"};
  for (ClassDescription& description : resources.classes)
    description.plugin = resources.id;
  for (PanelDeclaration& panel : resources.panels)
    panel.plugin = resources.id;
  return resources;
}

} // namespace layra
