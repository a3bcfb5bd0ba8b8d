#include "store/log_file.h"

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "store/characters.h"

namespace velmora {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// Each ill-formed UTF-8 sequence becomes U+FFFD, so a stray byte in a message can never make
// the whole log unreadable (an unreadable log is neither trimmed nor shown).
std::string wellFormed(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int32_t>(text.size());
  std::string out;
  out.reserve(text.size());
  for (std::int32_t i = 0; i < length;) {
    std::int32_t start = i;
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) {
      out += kReplacementCharacter;
    } else {
      out.append(text.data() + start, static_cast<std::size_t>(i - start));
    }
  }
  return out;
}

bool isWellFormed(std::string_view text) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  const auto length = static_cast<std::int64_t>(text.size());
  for (std::int64_t i = 0; i < length;) {
    UChar32 c;
    U8_NEXT(bytes, i, length, c);
    if (c < 0) return false;
  }
  return true;
}

// Break iterators count in 32-bit positions; a log is far smaller than this in practice, and
// a larger file is only looked at from this far before its end.
constexpr std::size_t kLargestWindow = std::size_t{1} << 30;

// The byte offset where the last `count` characters of well-formed UTF-8 `text` begin. A
// character is a grapheme cluster, as the user sees it: an emoji with its modifiers, a letter
// with its accents, or CR LF stay whole on either side of the cut.
std::size_t startOfLastCharacters(std::string_view text, std::size_t count) {
  if (count == 0) return text.size();
  std::size_t base = 0;
  if (text.size() > kLargestWindow) {
    base = text.size() - kLargestWindow;
    while (base < text.size() && U8_IS_TRAIL(static_cast<std::uint8_t>(text[base]))) ++base;
    text.remove_prefix(base);
  }

  icu::BreakIterator* breaks = characterBreaks();
  UErrorCode status = U_ZERO_ERROR;
  UText* utext = nullptr;
  if (breaks) {
    utext = utext_openUTF8(nullptr, text.data(), static_cast<std::int64_t>(text.size()), &status);
    // The iterator keeps a shallow copy that points at `text`; it is only read before the
    // next use hands it new text.
    if (U_SUCCESS(status)) breaks->setText(utext, status);
  }
  std::size_t start = 0;
  if (breaks && U_SUCCESS(status)) {
    // Over UTF-8 text the iterator's positions are byte offsets.
    std::int32_t position = breaks->last();
    for (std::size_t taken = 0; taken < count && position > 0; ++taken) {
      position = breaks->previous();
    }
    start = position > 0 ? static_cast<std::size_t>(position) : 0;
  } else {
    // Without ICU's rules, whole code points are the next best thing: still never a split
    // sequence.
    auto i = static_cast<std::int64_t>(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::size_t taken = 0; taken < count && i > 0; ++taken) {
      U8_BACK_1(bytes, 0, i);
    }
    start = static_cast<std::size_t>(i);
  }
  if (utext) utext_close(utext);
  return base + start;
}

std::optional<std::string> readWholeFile(const std::filesystem::path& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (in.bad()) return std::nullopt;
  return bytes;
}

// Replaces the file in one step: a reader sees either the old log or the new one.
void writeAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temporary = path;
  temporary.replace_filename("." + path.filename().string() + ".trim");
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) return;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      return;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) std::filesystem::remove(temporary, ec);
}

}  // namespace

std::string iso8601UTC(double secondsSince1970) {
  using namespace std::chrono;
  // Years 1 to 9999 keep the four-digit form; a clock outside them is wrong anyway.
  constexpr double kEarliest = -62135596800.0;  // 0001-01-01T00:00:00Z
  constexpr double kLatest = 253402300799.0;    // 9999-12-31T23:59:59Z
  double clamped = std::isnan(secondsSince1970) ? 0.0 : secondsSince1970;
  clamped = std::fmin(std::fmax(std::floor(clamped), kEarliest), kLatest);

  sys_seconds moment{seconds{static_cast<std::int64_t>(clamped)}};
  sys_days day = floor<days>(moment);
  year_month_day date{day};
  hh_mm_ss time{moment - day};

  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(time.hours().count()), static_cast<int>(time.minutes().count()),
                static_cast<int>(time.seconds().count()));
  return text;
}

std::filesystem::path logFolder(const platform::HomeFolder& home) {
  return home.logs() / "Velmora";
}

LogFile::LogFile(std::filesystem::path url, const MainLoop& loop, std::int64_t limit)
    : url_(std::move(url)), loop_(loop), limit_(limit) {}

void LogFile::append(std::string_view message) {
  if (onAppend_) onAppend_(message);
  std::string line = "[" + iso8601UTC(loop_.wallNow()) + "] " + wellFormed(message) + "\n";

  if (limit_ > 0) trimIfOverLimit();

  // Append mode creates a missing file (but never its folder) and writes at the end.
  std::FILE* file = std::fopen(url_.c_str(), "ab");
  if (!file) return;
  std::fwrite(line.data(), 1, line.size(), file);
  std::fclose(file);
}

void LogFile::trimIfOverLimit() {
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(url_, ec);
  if (ec || size <= static_cast<std::uintmax_t>(limit_)) return;

  // The cut falls wherever the count lands, usually inside a line, but always between two
  // characters. A log that does not read as UTF-8 is left alone.
  std::optional<std::string> text = readWholeFile(url_);
  if (!text || !isWellFormed(*text)) return;
  std::size_t keep = static_cast<std::size_t>(limit_ / 2);
  std::string_view whole = *text;
  writeAtomically(url_, whole.substr(startOfLastCharacters(whole, keep)));
}

std::string LogFile::tail(std::size_t maxCharacters) const {
  std::optional<std::string> text = readWholeFile(url_);
  if (!text || !isWellFormed(*text)) return std::string(kNoLog);
  return text->substr(startOfLastCharacters(*text, maxCharacters));
}

Logs::Logs(platform::HomeFolder home, const MainLoop& loop) : home_(std::move(home)), loop_(loop) {}

Logs::~Logs() = default;

const std::filesystem::path& Logs::folder() {
  if (!folder_) {
    folder_ = logFolder(home_);
    std::error_code ignored;
    std::filesystem::create_directories(*folder_, ignored);
  }
  return *folder_;
}

LogFile& Logs::instance(std::unique_ptr<LogFile>& slot, std::string_view name) {
  if (!slot) slot = std::make_unique<LogFile>(folder() / name, loop_, LogFile::kStandardLimit);
  return *slot;
}

}  // namespace velmora
