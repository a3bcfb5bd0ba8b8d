#pragma once
// Velmora's disk images as the virtual Mac knows them: a bundle folder, its code signature
// and the image file that carries it.
//
// A signature is a manifest of every file of the bundle (its SHA-256 and size), the signing
// team and whether the chain ends in Apple's anchor, signed with Ed25519. The virtual Mac
// trusts one key, which stands for Apple's chain, so a bundle changed after signing, signed by
// another key, or not signed at all is told apart exactly as the Security framework does.
// An image is a tar archive of its top-level items, mounted read-only by "hdiutil attach".

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/result.h"

namespace velmora::sim {

// The team that signs Velmora.
inline constexpr const char* kVelmoraTeam = "Q7RZ2WD4LK";

// Where a signed bundle keeps its signature, relative to the bundle.
std::filesystem::path signatureFolder();

// Makes a minimal Velmora bundle at `bundle` (the folder is replaced): an information
// property list with this short version, an executable and a resource.
Result<void> makeVelmoraBundle(const std::filesystem::path& bundle, const std::string& version);

// Signs every file now in `bundle` for `team`; `appleAnchor` false stands for a certificate
// that does not chain to Apple. `trustedKey` false signs with a key the virtual Mac does not
// know, as a forged signature would be.
Result<void> signBundle(const std::filesystem::path& bundle, const std::string& team,
                        bool appleAnchor = true, bool trustedKey = true);

// Checks the bundle's signature: 0, -67062 when it has none, -67061 when it does not match
// the files or was not made by the trusted key. With `team`, a valid signature by another team
// or without Apple's anchor answers -67050.
std::int32_t verifyBundle(const std::filesystem::path& bundle,
                          const std::optional<std::string>& team = std::nullopt);

// The short version in a bundle's information property list; none when it has none.
std::optional<std::string> bundleVersion(const std::filesystem::path& bundle);

// Writes an image holding each of `items` (files or folders) at its top level.
Result<void> writeImage(const std::vector<std::filesystem::path>& items,
                        const std::filesystem::path& image);

// Unpacks an image into `mountPoint`; on failure, what hdiutil would print on standard error.
Result<void> unpackImage(const std::filesystem::path& image,
                         const std::filesystem::path& mountPoint);

// The lower-case hexadecimal SHA-256 of a file's bytes; none when it cannot be read.
std::optional<std::string> fileSHA256(const std::filesystem::path& file);

// A signed image of Velmora `version` for the feed, and what the feed says about it.
struct PublishedImage {
  std::filesystem::path image;
  std::int64_t size = 0;
  std::string sha256;
};
struct ImageRecipe {
  std::string version;
  std::string team = kVelmoraTeam;
  bool signedBundle = true;
  bool trustedKey = true;
  // A file changed after signing, as a tampered image would be.
  bool changedAfterSigning = false;
};
// Builds the bundle in `workFolder` and the image as `image`.
Result<PublishedImage> publishImage(const ImageRecipe& recipe,
                                    const std::filesystem::path& workFolder,
                                    const std::filesystem::path& image);

// The feed document for an image served at `imageURL`, with release notes at `notesURL`.
std::string feedDocument(const std::string& version, const PublishedImage& image,
                         const std::string& imageURL, const std::string& notesURL,
                         const std::string& released = "2026-12-01",
                         const std::string& minOS = "14.0");

}  // namespace velmora::sim
