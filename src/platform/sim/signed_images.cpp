#include "platform/sim/signed_images.h"

#include <archive.h>
#include <archive_entry.h>
#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <system_error>

namespace velmora::sim {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kManifestHeader = "velmora code signature 1";
constexpr std::string_view kAppleAnchor = "anchor apple generic";
constexpr std::string_view kNoAnchor = "anchor none";

// The seeds of the two Ed25519 keys: the one the virtual Mac trusts (Apple's chain) and one it
// has never heard of.
constexpr std::array<unsigned char, 32> kTrustedSeed = {
    0x5e, 0x11, 0x9a, 0x42, 0x07, 0xc3, 0x6d, 0x88, 0x21, 0xf0, 0x3b, 0x94, 0x5a, 0xe7, 0x12, 0x6c,
    0x99, 0x0d, 0x4e, 0xb1, 0x73, 0x2a, 0xc8, 0x56, 0xef, 0x14, 0x60, 0x9d, 0x3f, 0xa2, 0x81, 0x07};
constexpr std::array<unsigned char, 32> kStrangerSeed = {
    0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef, 0xfe, 0xdc, 0xba, 0x98, 0x76, 0x54, 0x32, 0x10,
    0x0f, 0x1e, 0x2d, 0x3c, 0x4b, 0x5a, 0x69, 0x78, 0x87, 0x96, 0xa5, 0xb4, 0xc3, 0xd2, 0xe1, 0xf0};

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct DigestFree {
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyFree>;
using DigestContext = std::unique_ptr<EVP_MD_CTX, DigestFree>;

Key keyFromSeed(const std::array<unsigned char, 32>& seed) {
  return Key(EVP_PKEY_new_raw_private_key(EVP_PKEY_ED25519, nullptr, seed.data(), seed.size()));
}

std::string readAll(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::string hex(const unsigned char* bytes, std::size_t length) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(length * 2);
  for (std::size_t i = 0; i < length; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 0x0F];
  }
  return text;
}

// Every regular file of the bundle but its signature, by path relative to the bundle, sorted.
std::vector<fs::path> bundleFiles(const fs::path& bundle) {
  std::vector<fs::path> files;
  std::error_code error;
  for (auto it = fs::recursive_directory_iterator(bundle, error);
       !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
    auto relative = it->path().lexically_relative(bundle);
    if (*relative.begin() == "Contents" &&
        relative.string().starts_with(signatureFolder().string()))
      continue;
    if (it->is_regular_file()) files.push_back(relative);
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The manifest a bundle would carry if it were signed now.
std::optional<std::string> manifestBody(const fs::path& bundle) {
  std::string body;
  for (const fs::path& relative : bundleFiles(bundle)) {
    auto digest = fileSHA256(bundle / relative);
    if (!digest) return std::nullopt;
    body += "file " + *digest + " " + std::to_string(fs::file_size(bundle / relative)) + " " +
            relative.generic_string() + "\n";
  }
  return body;
}

bool verifySignature(const std::string& manifest, const std::string& signature) {
  Key key = keyFromSeed(kTrustedSeed);
  DigestContext context(EVP_MD_CTX_new());
  if (!key || !context) return false;
  if (EVP_DigestVerifyInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1) return false;
  return EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                          signature.size(), reinterpret_cast<const unsigned char*>(manifest.data()),
                          manifest.size()) == 1;
}

// A path inside an image must stay inside the mount point.
bool safeEntry(const fs::path& path) {
  if (path.empty() || path.is_absolute()) return false;
  return std::none_of(path.begin(), path.end(), [](const fs::path& part) { return part == ".."; });
}

}  // namespace

fs::path signatureFolder() {
  return fs::path("Contents") / "_CodeSignature";
}

Result<void> makeVelmoraBundle(const fs::path& bundle, const std::string& version) {
  std::error_code error;
  fs::remove_all(bundle, error);
  fs::create_directories(bundle / "Contents" / "MacOS", error);
  fs::create_directories(bundle / "Contents" / "Resources", error);
  if (error) return Failure{"cannot make " + bundle.string() + ": " + error.message()};
  std::ofstream(bundle / "Contents" / "Info.plist")
      << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\">\n<dict>\n"
         "\t<key>CFBundleIdentifier</key>\n\t<string>app.velmora.Velmora</string>\n"
         "\t<key>CFBundleShortVersionString</key>\n\t<string>"
      << version << "</string>\n</dict>\n</plist>\n";
  std::ofstream(bundle / "Contents" / "MacOS" / "Velmora")
      << "#!/bin/sh\necho Velmora " << version << "\n";
  std::ofstream(bundle / "Contents" / "Resources" / "notes.txt")
      << "Velmora " << version << ": names for your desktops.\n";
  return {};
}

Result<void> signBundle(const fs::path& bundle, const std::string& team, bool appleAnchor,
                        bool trustedKey) {
  auto body = manifestBody(bundle);
  if (!body) return Failure{"cannot read the files of " + bundle.string()};
  std::string manifest = std::string(kManifestHeader) + "\nteam " + team + "\n" +
                         std::string(appleAnchor ? kAppleAnchor : kNoAnchor) + "\n" + *body;
  Key key = keyFromSeed(trustedKey ? kTrustedSeed : kStrangerSeed);
  DigestContext context(EVP_MD_CTX_new());
  std::array<unsigned char, 64> signature{};
  std::size_t length = signature.size();
  if (!key || !context ||
      EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key.get()) != 1 ||
      EVP_DigestSign(context.get(), signature.data(), &length,
                     reinterpret_cast<const unsigned char*>(manifest.data()),
                     manifest.size()) != 1) {
    return Failure{"the signing key did not sign"};
  }
  std::error_code error;
  fs::create_directories(bundle / signatureFolder(), error);
  if (error) return Failure{"cannot write the signature: " + error.message()};
  std::ofstream(bundle / signatureFolder() / "CodeResources", std::ios::binary) << manifest;
  std::ofstream(bundle / signatureFolder() / "CodeSignature", std::ios::binary)
      .write(reinterpret_cast<const char*>(signature.data()), static_cast<std::streamsize>(length));
  return {};
}

std::int32_t verifyBundle(const fs::path& bundle, const std::optional<std::string>& team) {
  fs::path manifestFile = bundle / signatureFolder() / "CodeResources";
  fs::path signatureFile = bundle / signatureFolder() / "CodeSignature";
  if (!fs::is_regular_file(manifestFile)) return -67062;
  std::string manifest = readAll(manifestFile);
  if (!verifySignature(manifest, readAll(signatureFile))) return -67061;

  std::istringstream lines(manifest);
  std::string header, teamLine, anchorLine;
  std::getline(lines, header);
  std::getline(lines, teamLine);
  std::getline(lines, anchorLine);
  std::string rest{std::istreambuf_iterator<char>(lines), {}};
  auto body = manifestBody(bundle);
  if (header != kManifestHeader || !teamLine.starts_with("team ") || !body || *body != rest) {
    return -67061;
  }
  if (team && (teamLine.substr(5) != *team || anchorLine != kAppleAnchor)) return -67050;
  return 0;
}

std::optional<std::string> bundleVersion(const fs::path& bundle) {
  std::string plist = readAll(bundle / "Contents" / "Info.plist");
  constexpr std::string_view kKey = "<key>CFBundleShortVersionString</key>";
  auto key = plist.find(kKey);
  if (key == std::string::npos) return std::nullopt;
  auto open = plist.find("<string>", key);
  auto close = plist.find("</string>", open);
  if (open == std::string::npos || close == std::string::npos) return std::nullopt;
  open += 8;
  return plist.substr(open, close - open);
}

Result<void> writeImage(const std::vector<fs::path>& items, const fs::path& image) {
  struct WriteFree {
    void operator()(archive* a) const { archive_write_free(a); }
  };
  struct EntryFree {
    void operator()(archive_entry* e) const { archive_entry_free(e); }
  };
  std::unique_ptr<archive, WriteFree> out(archive_write_new());
  archive_write_set_format_pax_restricted(out.get());
  if (archive_write_open_filename(out.get(), image.c_str()) != ARCHIVE_OK) {
    return Failure{"cannot write " + image.string() + ": " + archive_error_string(out.get())};
  }
  auto add = [&](const fs::path& file, const fs::path& name) -> Result<void> {
    std::unique_ptr<archive_entry, EntryFree> entry(archive_entry_new());
    archive_entry_set_pathname(entry.get(), name.generic_string().c_str());
    bool folder = fs::is_directory(file);
    std::string bytes = folder ? std::string() : readAll(file);
    archive_entry_set_filetype(entry.get(), folder ? AE_IFDIR : AE_IFREG);
    archive_entry_set_perm(entry.get(), folder ? 0755 : 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(bytes.size()));
    if (archive_write_header(out.get(), entry.get()) != ARCHIVE_OK ||
        (!bytes.empty() && archive_write_data(out.get(), bytes.data(), bytes.size()) < 0)) {
      return Failure{"cannot write " + image.string() + ": " + archive_error_string(out.get())};
    }
    return {};
  };
  for (const fs::path& item : items) {
    if (auto added = add(item, item.filename()); !added) return added;
    if (!fs::is_directory(item)) continue;
    std::vector<fs::path> inside;
    for (const auto& entry : fs::recursive_directory_iterator(item)) inside.push_back(entry.path());
    std::sort(inside.begin(), inside.end());
    for (const fs::path& path : inside) {
      if (auto added = add(path, item.filename() / path.lexically_relative(item)); !added)
        return added;
    }
  }
  if (archive_write_close(out.get()) != ARCHIVE_OK) {
    return Failure{"cannot write " + image.string() + ": " + archive_error_string(out.get())};
  }
  return {};
}

Result<void> unpackImage(const fs::path& image, const fs::path& mountPoint) {
  struct ReadFree {
    void operator()(archive* a) const { archive_read_free(a); }
  };
  const Failure notAnImage{"hdiutil: attach failed - image not recognized"};
  std::unique_ptr<archive, ReadFree> in(archive_read_new());
  archive_read_support_format_tar(in.get());
  if (archive_read_open_filename(in.get(), image.c_str(), 65536) != ARCHIVE_OK) return notAnImage;
  archive_entry* entry = nullptr;
  int entries = 0;
  for (;;) {
    int status = archive_read_next_header(in.get(), &entry);
    if (status == ARCHIVE_EOF) break;
    if (status != ARCHIVE_OK) return notAnImage;
    ++entries;
    fs::path name = archive_entry_pathname(entry);
    if (!safeEntry(name)) return notAnImage;
    fs::path target = mountPoint / name;
    std::error_code error;
    if (archive_entry_filetype(entry) == AE_IFDIR) {
      fs::create_directories(target, error);
      continue;
    }
    fs::create_directories(target.parent_path(), error);
    std::ofstream out(target, std::ios::binary);
    std::array<char, 65536> buffer{};
    for (;;) {
      la_ssize_t got = archive_read_data(in.get(), buffer.data(), buffer.size());
      if (got < 0) return notAnImage;
      if (got == 0) break;
      out.write(buffer.data(), got);
    }
  }
  if (entries == 0) return notAnImage;
  return {};
}

std::optional<std::string> fileSHA256(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  DigestContext context(EVP_MD_CTX_new());
  if (!context || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return std::nullopt;
  std::array<char, 65536> buffer{};
  while (in) {
    in.read(buffer.data(), buffer.size());
    EVP_DigestUpdate(context.get(), buffer.data(), static_cast<std::size_t>(in.gcount()));
  }
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(context.get(), digest.data(), &length);
  return hex(digest.data(), length);
}

Result<PublishedImage> publishImage(const ImageRecipe& recipe, const fs::path& workFolder,
                                    const fs::path& image) {
  fs::path bundle = workFolder / "Velmora.app";
  if (auto made = makeVelmoraBundle(bundle, recipe.version); !made) return Failure{made.error()};
  if (recipe.signedBundle) {
    if (auto signedIt = signBundle(bundle, recipe.team, true, recipe.trustedKey); !signedIt)
      return Failure{signedIt.error()};
  }
  if (recipe.changedAfterSigning) {
    std::ofstream(bundle / "Contents" / "Resources" / "notes.txt", std::ios::app) << "changed\n";
  }
  if (auto written = writeImage({bundle}, image); !written) return Failure{written.error()};
  PublishedImage published{image, static_cast<std::int64_t>(fs::file_size(image)),
                           fileSHA256(image).value_or("")};
  return published;
}

std::string feedDocument(const std::string& version, const PublishedImage& image,
                         const std::string& imageURL, const std::string& notesURL,
                         const std::string& released, const std::string& minOS) {
  return "{\"version\": \"" + version + "\", \"released\": \"" + released + "\", \"dmg\": \"" +
         imageURL + "\", \"size\": " + std::to_string(image.size) + ", \"sha256\": \"" +
         image.sha256 + "\", \"notes\": \"" + notesURL + "\", \"minOS\": \"" + minOS + "\"}\n";
}

}  // namespace velmora::sim
