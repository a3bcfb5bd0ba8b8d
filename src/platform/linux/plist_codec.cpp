#include "platform/linux/plist_codec.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <memory>

namespace velmora::linuxhost {

namespace {

struct PlistFree {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

// Dates in property lists count from 2001-01-01, as Value::Date does.
Value fromPlist(plist_t node) {
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      std::uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      std::uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<std::int64_t>(u));  // negative integers keep their bits
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING:
    case PLIST_KEY: {
      char* s = nullptr;
      if (plist_get_node_type(node) == PLIST_STRING) {
        plist_get_string_val(node, &s);
      } else {
        plist_get_key_val(node, &s);
      }
      std::string text = s ? s : "";
      std::free(s);
      return Value(std::move(text));
    }
    case PLIST_DATA: {
      char* bytes = nullptr;
      std::uint64_t length = 0;
      plist_get_data_val(node, &bytes, &length);
      Value::Data data;
      if (bytes) data.bytes.assign(bytes, bytes + length);
      std::free(bytes);
      return Value(std::move(data));
    }
    case PLIST_DATE: {
      std::int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return Value(Value::Date{sec + usec / 1e6});
    }
    case PLIST_ARRAY: {
      Value::Array items;
      std::uint32_t n = plist_array_get_size(node);
      items.reserve(n);
      for (std::uint32_t i = 0; i < n; ++i)
        items.push_back(fromPlist(plist_array_get_item(node, i)));
      return Value(std::move(items));
    }
    case PLIST_DICT: {
      Value::Dictionary dict;
      plist_dict_iter it = nullptr;
      plist_dict_new_iter(node, &it);
      for (;;) {
        char* key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(node, it, &key, &item);
        if (!item) break;
        dict.emplace(key ? key : "", fromPlist(item));
        std::free(key);
      }
      std::free(it);
      return Value(std::move(dict));
    }
    default:
      return Value();
  }
}

// Null has no property-list form: it is left out of arrays and dictionaries.
plist_t toPlist(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::Null:
      return nullptr;
    case Value::Kind::Bool:
      return plist_new_bool(*value.asBool());
    case Value::Kind::Integer:
      return plist_new_uint(static_cast<std::uint64_t>(*value.asInteger()));
    case Value::Kind::Real:
      return plist_new_real(*value.asNumber());
    case Value::Kind::String:
      return plist_new_string(value.asString()->c_str());
    case Value::Kind::Data: {
      const auto& bytes = value.asData()->bytes;
      return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case Value::Kind::Date: {
      double s = value.asDate()->secondsSinceReferenceDate;
      double whole = std::floor(s);
      return plist_new_date(static_cast<std::int32_t>(whole),
                            static_cast<std::int32_t>(std::lround((s - whole) * 1e6)));
    }
    case Value::Kind::Array: {
      plist_t array = plist_new_array();
      for (const Value& item : *value.asArray()) {
        if (plist_t node = toPlist(item)) plist_array_append_item(array, node);
      }
      return array;
    }
    case Value::Kind::Dictionary: {
      plist_t dict = plist_new_dict();
      for (const auto& [key, item] : *value.asDictionary()) {
        if (plist_t node = toPlist(item)) plist_dict_set_item(dict, key.c_str(), node);
      }
      return dict;
    }
  }
  return nullptr;
}

}  // namespace

std::optional<Value> PlistCodec::decode(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || bytes.size() > UINT32_MAX) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::uint32_t>(bytes.size()), &root);
  if (!root) return std::nullopt;
  PlistPtr owner(root);
  return fromPlist(root);
}

std::optional<std::vector<std::uint8_t>> PlistCodec::encode(const Value& value) {
  PlistPtr root(toPlist(value));
  if (!root) return std::nullopt;
  char* bytes = nullptr;
  std::uint32_t length = 0;
  plist_to_bin(root.get(), &bytes, &length);
  if (!bytes) return std::nullopt;
  std::vector<std::uint8_t> out(bytes, bytes + length);
  plist_to_bin_free(bytes);
  return out;
}

}  // namespace velmora::linuxhost
