#include "core/value.h"

#include <cmath>
#include <cstdio>
#include <limits>

namespace velmora {

std::optional<bool> Value::asBool() const {
  if (const bool* b = std::get_if<bool>(&v_)) return *b;
  return std::nullopt;
}

std::optional<std::int64_t> Value::asInteger() const {
  if (const auto* i = std::get_if<std::int64_t>(&v_)) return *i;
  if (const auto* d = std::get_if<double>(&v_)) {
    // 2^63 is exactly representable; anything at or above it does not fit.
    if (std::isfinite(*d) && std::trunc(*d) == *d && *d >= -9223372036854775808.0 &&
        *d < 9223372036854775808.0) {
      return static_cast<std::int64_t>(*d);
    }
  }
  return std::nullopt;
}

std::optional<std::uint64_t> Value::asUInt64() const {
  if (const auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<std::uint64_t>(*i);
  if (const auto* d = std::get_if<double>(&v_)) {
    if (!std::isfinite(*d) || std::trunc(*d) != *d) return std::nullopt;
    if (*d >= 0 && *d < 18446744073709551616.0) return static_cast<std::uint64_t>(*d);
    if (*d < 0 && *d >= -9223372036854775808.0) {
      return static_cast<std::uint64_t>(static_cast<std::int64_t>(*d));
    }
  }
  return std::nullopt;
}

std::optional<std::int32_t> Value::asInt32() const {
  auto i = asInteger();
  if (!i || *i < std::numeric_limits<std::int32_t>::min() ||
      *i > std::numeric_limits<std::int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(*i);
}

std::optional<double> Value::asNumber() const {
  if (const auto* i = std::get_if<std::int64_t>(&v_)) return static_cast<double>(*i);
  if (const auto* d = std::get_if<double>(&v_)) return *d;
  return std::nullopt;
}

std::optional<Value::Date> Value::asDate() const {
  if (const auto* d = std::get_if<Date>(&v_)) return *d;
  return std::nullopt;
}

bool Value::operator==(const Value& other) const {
  if (v_.index() != other.v_.index()) return false;
  if (const Array* a = asArray()) return a == other.asArray() || *a == *other.asArray();
  if (const Dictionary* d = asDictionary()) {
    return d == other.asDictionary() || *d == *other.asDictionary();
  }
  return v_ == other.v_;
}

const Value* Value::find(std::string_view key) const {
  const auto* dict = asDictionary();
  if (!dict) return nullptr;
  auto it = dict->find(key);
  return it == dict->end() ? nullptr : &it->second;
}

namespace {

void appendQuoted(std::string& out, const std::string& s) {
  out += '"';
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

void appendValue(std::string& out, const Value& v) {
  switch (v.kind()) {
    case Value::Kind::Null:
      out += "null";
      break;
    case Value::Kind::Bool:
      out += *v.asBool() ? "true" : "false";
      break;
    case Value::Kind::Integer:
      out += std::to_string(*v.asInteger());
      break;
    case Value::Kind::Real: {
      char buf[40];
      std::snprintf(buf, sizeof buf, "%g", *v.asNumber());
      out += buf;
      break;
    }
    case Value::Kind::String:
      appendQuoted(out, *v.asString());
      break;
    case Value::Kind::Data:
      out += '<';
      out += std::to_string(v.asData()->bytes.size());
      out += " bytes>";
      break;
    case Value::Kind::Date: {
      char buf[48];
      std::snprintf(buf, sizeof buf, "@%.3f", v.asDate()->secondsSinceReferenceDate);
      out += buf;
      break;
    }
    case Value::Kind::Array: {
      out += '[';
      bool first = true;
      for (const auto& item : *v.asArray()) {
        if (!first) out += ", ";
        first = false;
        appendValue(out, item);
      }
      out += ']';
      break;
    }
    case Value::Kind::Dictionary: {
      out += '{';
      bool first = true;
      for (const auto& [key, item] : *v.asDictionary()) {
        if (!first) out += ", ";
        first = false;
        appendQuoted(out, key);
        out += ": ";
        appendValue(out, item);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace

std::string describe(const Value& value) {
  std::string out;
  appendValue(out, value);
  return out;
}

}  // namespace velmora
