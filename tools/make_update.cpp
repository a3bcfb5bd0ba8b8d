// velmora-make-update: builds a signed disk image of a Velmora version and the feed that
// announces it, as the virtual Mac reads them, for the demo, screenshots and hand testing.
//
//   velmora-make-update VERSION FOLDER [BASE-URL] [--team ID] [--unsigned] [--tampered]
//
// FOLDER receives Velmora-VERSION.dmg and update.json; the feed points at BASE-URL (by default
// http://127.0.0.1:8000) for the image and the notes.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/sim/signed_images.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: velmora-make-update VERSION FOLDER [BASE-URL] [--team ID] [--unsigned] "
                 "[--tampered]\n");
    return 2;
  }
  velmora::sim::ImageRecipe recipe{argv[1]};
  fs::path folder = argv[2];
  std::string base = "http://127.0.0.1:8000";
  for (int i = 3; i < argc; ++i) {
    std::string word = argv[i];
    if (word == "--team" && i + 1 < argc) {
      recipe.team = argv[++i];
    } else if (word == "--unsigned") {
      recipe.signedBundle = false;
    } else if (word == "--tampered") {
      recipe.changedAfterSigning = true;
    } else {
      base = word;
    }
  }
  std::error_code error;
  fs::create_directories(folder / "bundle", error);
  std::string name = "Velmora-" + recipe.version + ".dmg";
  auto image = velmora::sim::publishImage(recipe, folder / "bundle", folder / name);
  if (!image) {
    std::fprintf(stderr, "velmora-make-update: %s\n", image.error().c_str());
    return 1;
  }
  fs::remove_all(folder / "bundle", error);
  std::ofstream(folder / "update.json") << velmora::sim::feedDocument(
      recipe.version, *image, base + "/" + name, base + "/notes/" + recipe.version);
  std::printf("%s: %lld bytes, sha256 %s\n", (folder / name).c_str(),
              static_cast<long long>(image->size), image->sha256.c_str());
  return 0;
}
