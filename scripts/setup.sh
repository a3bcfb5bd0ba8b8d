#!/usr/bin/env bash
# Installs what building and testing Velmora needs on Debian 12, and nothing when it is all
# there already.
set -euo pipefail

# llvm brings llvm-symbolizer, which the sanitizer run uses to name the frames it reports.
packages=(cmake ninja-build g++ clang libclang-rt-dev llvm clang-format pkg-config git
          libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libicu-dev libplist-dev
          libgdk-pixbuf-2.0-dev libcairo2-dev libpango1.0-dev fonts-inter fonts-noto-color-emoji
          librsvg2-dev adwaita-icon-theme libedit-dev libcurl4-openssl-dev libssl-dev
          libarchive-dev libcpp-httplib-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
    "${missing[@]}"
fi
