#include "platform/linux/plist_preferences.h"

#include "platform/linux/plist_codec.h"

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace velmora::linuxhost {

namespace {

enum class ReadState { Missing, Unreadable, Ok };

ReadState readDomainFile(const std::filesystem::path& file, Value::Dictionary& out) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::filesystem::exists(file) ? ReadState::Unreadable : ReadState::Missing;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty() || bytes.size() > UINT32_MAX) return ReadState::Unreadable;
  std::optional<Value> value =
      PlistCodec().decode(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  if (!value || !value->asDictionary()) return ReadState::Unreadable;
  out = *value->asDictionary();
  return ReadState::Ok;
}

bool writeAtomically(const std::filesystem::path& file, const Value::Dictionary& dict) {
  std::optional<std::vector<std::uint8_t>> encoded = PlistCodec().encode(Value(dict));
  if (!encoded) return false;
  const auto* bytes = encoded->data();
  std::size_t length = encoded->size();

  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  std::filesystem::path temporary = file;
  temporary += ".tmp-" + std::to_string(::getpid());
  std::FILE* out = std::fopen(temporary.c_str(), "wb");
  if (!out) return false;
  bool ok = std::fwrite(bytes, 1, length, out) == length;
  ok = std::fflush(out) == 0 && ok;
  ok = ::fsync(::fileno(out)) == 0 && ok;
  ok = std::fclose(out) == 0 && ok;
  if (ok) {
    std::filesystem::rename(temporary, file, error);
    ok = !error;
  }
  if (!ok) std::filesystem::remove(temporary, error);
  return ok;
}

}  // namespace

PlistPreferences::PlistPreferences(std::filesystem::path folder) : folder_(std::move(folder)) {}

std::filesystem::path PlistPreferences::fileFor(std::string_view domain) const {
  return folder_ / (std::string(domain) + ".plist");
}

Value PlistPreferences::value(std::string_view domain, std::string_view key) {
  Value::Dictionary dict;
  if (readDomainFile(fileFor(domain), dict) != ReadState::Ok) return Value();
  auto it = dict.find(key);
  return it == dict.end() ? Value() : it->second;
}

bool PlistPreferences::setValue(std::string_view domain, std::string_view key, const Value& value) {
  std::filesystem::path file = fileFor(domain);
  Value::Dictionary dict;
  if (readDomainFile(file, dict) == ReadState::Unreadable) {
    // Keep what we could not read beside the new file rather than overwrite it: it may be
    // the user's only copy of something a later version can read.
    auto stamp = std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count();
    std::filesystem::path kept = file;
    kept += ".unreadable-" + std::to_string(stamp);
    std::error_code error;
    std::filesystem::rename(file, kept, error);
    if (error) return false;
  }
  if (value.isNull()) {
    dict.erase(std::string(key));
  } else {
    dict.insert_or_assign(std::string(key), value);
  }
  return writeAtomically(file, dict);
}

std::optional<Value::Dictionary> PlistPreferences::persistentDomain(std::string_view domain) {
  Value::Dictionary dict;
  if (readDomainFile(fileFor(domain), dict) != ReadState::Ok) return std::nullopt;
  return dict;
}

}  // namespace velmora::linuxhost
