#pragma once
// Conversions between CoreFoundation property-list objects and the Value the seams speak,
// in one place, so every seam reads the platform's loosely typed answers the same way.

#include <CoreFoundation/CoreFoundation.h>

#include <optional>
#include <string>
#include <string_view>

#include "core/value.h"
#include "platform/macos/cf_ptr.h"

namespace velmora::macos {

// A CFString of the text; null only when the bytes are not valid UTF-8.
CFPtr<CFStringRef> cfString(std::string_view utf8);
// The text of a CFString as UTF-8; none for null or a string UTF-8 cannot hold.
std::optional<std::string> stdString(CFStringRef string);
// The text, or "" when there is none.
std::string stdStringOr(CFStringRef string);

// A borrowed property-list object as a Value: strings, numbers (integers stay integers),
// booleans, data, dates, arrays and dictionaries with string keys. A URL becomes its absolute
// string. Anything else (and null) becomes null; a dictionary entry with a key that is not a
// string is left out.
Value valueFrom(CFTypeRef object);
// A Value as a property-list object the caller owns; null for a null Value.
CFPtr<CFTypeRef> cfFrom(const Value& value);

// A failure's sentence from a CFError (its description), or `fallback` when there is none.
std::string describe(CFErrorRef error, std::string_view fallback);

}  // namespace velmora::macos
