#pragma once
// A small property-list-like value: the currency at the platform seams. Window-server
// answers, window lists, accessibility attributes and defaults all arrive as Values, and
// the typed accessors answer "absent or wrong kind" as an empty optional so forgiving
// read rules stay one line each. Arrays and dictionaries share their contents between
// copies until one of them is changed, so handing a large answer across a seam is cheap.

#include <cstdint>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace velmora {

class Value {
 public:
  struct Data {
    std::vector<std::uint8_t> bytes;
    bool operator==(const Data&) const = default;
  };
  // Seconds since 2001-01-01 00:00:00 UTC, as property lists keep dates.
  struct Date {
    double secondsSinceReferenceDate = 0;
    bool operator==(const Date&) const = default;
  };
  using Array = std::vector<Value>;
  using Dictionary = std::map<std::string, Value, std::less<>>;

  enum class Kind { Null, Bool, Integer, Real, String, Data, Date, Array, Dictionary };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool b) : v_(b) {}
  Value(int i) : v_(std::int64_t{i}) {}
  Value(unsigned u) : v_(std::int64_t{u}) {}
  Value(long i) : v_(std::int64_t{i}) {}
  Value(long long i) : v_(std::int64_t{i}) {}
  // Unsigned 64-bit numbers keep their bit pattern, as NSNumber does for id64 values.
  Value(unsigned long u) : v_(static_cast<std::int64_t>(u)) {}
  Value(unsigned long long u) : v_(static_cast<std::int64_t>(u)) {}
  Value(double d) : v_(d) {}
  Value(const char* s) : v_(std::string(s)) {}
  Value(std::string s) : v_(std::move(s)) {}
  Value(std::string_view s) : v_(std::string(s)) {}
  Value(Data d) : v_(std::move(d)) {}
  Value(Date d) : v_(d) {}
  Value(Array a) : v_(std::make_shared<Array>(std::move(a))) {}
  Value(Dictionary d) : v_(std::make_shared<Dictionary>(std::move(d))) {}

  static Value array(std::initializer_list<Value> items) { return Value(Array(items)); }
  static Value dictionary(std::initializer_list<std::pair<const std::string, Value>> items) {
    return Value(Dictionary(items));
  }

  Kind kind() const { return static_cast<Kind>(v_.index()); }
  bool isNull() const { return kind() == Kind::Null; }
  bool isNumber() const { return kind() == Kind::Integer || kind() == Kind::Real; }

  std::optional<bool> asBool() const;
  // An integer, or a real that holds an integral value within range (NSNumber's exact
  // bridging). Booleans are not numbers here.
  std::optional<std::int64_t> asInteger() const;
  // An integer's bit pattern, or an integral real within [-2^63, 2^64).
  std::optional<std::uint64_t> asUInt64() const;
  // A signed 32-bit integer; values outside that range are the wrong kind.
  std::optional<std::int32_t> asInt32() const;
  std::optional<double> asNumber() const;
  const std::string* asString() const { return std::get_if<std::string>(&v_); }
  const Data* asData() const { return std::get_if<Data>(&v_); }
  std::optional<Date> asDate() const;
  const Array* asArray() const { return shared<Array>(); }
  const Dictionary* asDictionary() const { return shared<Dictionary>(); }
  // Mutable access makes the contents this value's own first.
  Array* asArray() { return owned<Array>(); }
  Dictionary* asDictionary() { return owned<Dictionary>(); }

  // Dictionary member, or nullptr when this is not a dictionary or the key is absent.
  const Value* find(std::string_view key) const;

  bool operator==(const Value& other) const;

 private:
  template <class T>
  const T* shared() const {
    const auto* p = std::get_if<std::shared_ptr<T>>(&v_);
    return p ? p->get() : nullptr;
  }
  template <class T>
  T* owned() {
    auto* p = std::get_if<std::shared_ptr<T>>(&v_);
    if (!p) return nullptr;
    if (p->use_count() > 1) *p = std::make_shared<T>(**p);
    return p->get();
  }

  std::variant<std::monostate, bool, std::int64_t, double, std::string, Data, Date,
               std::shared_ptr<Array>, std::shared_ptr<Dictionary>>
      v_;
};

// A readable one-line form for logs, test failures and the demo.
std::string describe(const Value& value);

}  // namespace velmora
