#pragma once
// Names of the process-wide announcements about desktops. They carry no payload:
// observers re-read what they need.

namespace velmora::notifications {

inline constexpr const char* kActiveSpaceDidChange = "Velmora.activeSpaceDidChange";
inline constexpr const char* kSpacesDidChange = "Velmora.spacesDidChange";
inline constexpr const char* kSpaceMetaChanged = "Velmora.spaceMetaChanged";
inline constexpr const char* kBadgesDidChange = "Velmora.badgesDidChange";

}  // namespace velmora::notifications
