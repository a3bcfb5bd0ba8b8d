#pragma once
// The JSON form of a Hotkey for the store's own encoders. Kept out of hotkey.h so that only
// code that already speaks nlohmann-json sees it.

#include <nlohmann/json.hpp>

#include "store/hotkey.h"

namespace velmora {

inline void to_json(nlohmann::json& j, const Hotkey& h) {
  j = nlohmann::json{{"keyCode", h.keyCode}, {"modifiers", h.modifiers}};
}

// Throws nlohmann's type or out-of-range errors when a key is missing or not an integer in
// range, so that a record holding a broken hotkey fails to decode as a whole.
inline void from_json(const nlohmann::json& j, Hotkey& h) {
  const auto& key = j.at("keyCode");
  const auto& mods = j.at("modifiers");
  if (!key.is_number_integer() || !mods.is_number_integer()) {
    throw nlohmann::json::type_error::create(302, "hotkey fields must be integers", &j);
  }
  auto inRange = [](const nlohmann::json& v) {
    return v.is_number_unsigned()
               ? v.get<std::uint64_t>() <= UINT32_MAX
               : v.get<std::int64_t>() >= 0 && v.get<std::int64_t>() <= UINT32_MAX;
  };
  if (!inRange(key) || !inRange(mods)) {
    throw nlohmann::json::out_of_range::create(406, "hotkey field out of range", &j);
  }
  h.keyCode = static_cast<std::uint32_t>(key.get<std::int64_t>());
  h.modifiers = static_cast<std::uint32_t>(mods.get<std::int64_t>());
}

}  // namespace velmora
