#pragma once
// Identifier spaces of the component model. Each space is its own type, so
// passing a class ID where an interface ID is expected does not compile.

#include <cstdint>
#include <functional>

namespace layra {

template <class Tag> class IdentifierOf {
public:
  constexpr IdentifierOf() = default;
  constexpr explicit IdentifierOf(std::uint32_t value) : fValue(value) {}
  constexpr std::uint32_t Get() const { return fValue; }
  constexpr bool IsValid() const { return fValue != 0; }
  friend constexpr bool operator==(IdentifierOf, IdentifierOf) = default;
  friend constexpr auto operator<=>(IdentifierOf, IdentifierOf) = default;

private:
  std::uint32_t fValue = 0;
};

} // namespace layra

using PluginID = layra::IdentifierOf<struct PluginIDTag>;
using ClassID = layra::IdentifierOf<struct ClassIDTag>;
using ImplementationID = layra::IdentifierOf<struct ImplementationIDTag>;
using PMIID = layra::IdentifierOf<struct InterfaceIDTag>;
using ActionID = layra::IdentifierOf<struct ActionIDTag>;
using WidgetID = layra::IdentifierOf<struct WidgetIDTag>;
using RsrcID = layra::IdentifierOf<struct ResourceIDTag>;
using ServiceID = layra::IdentifierOf<struct ServiceIDTag>;

/** A persistent object's number inside its database. */
using UID = std::uint32_t;
constexpr UID kInvalidUID = 0;

using int32 = std::int32_t;
using ErrorCode = std::int32_t;
constexpr ErrorCode kSuccess = 0;
constexpr ErrorCode kFailure = 1;

constexpr PluginID kInvalidPlugin{0};

template <class Tag> struct std::hash<layra::IdentifierOf<Tag>> {
  std::size_t operator()(layra::IdentifierOf<Tag> id) const noexcept {
    return std::hash<std::uint32_t>{}(id.Get());
  }
};
