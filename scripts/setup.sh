#!/usr/bin/env bash
# Installs what Kelvane needs to build, test and run, with apt-get, when it is
# missing. Safe to run again: it only calls apt-get when a package is missing.
set -euo pipefail

# Wayland: the platform plugin and a compositor to check that Kelvane starts on
# it. Packaging and its checks: dpkg-dev (cpack's dependencies), the desktop
# entry, metainfo and man page validators. The drive tests make ext4 and btrfs
# images. libxxhash-dev: the content hash.
packages=(build-essential cmake qt6-base-dev qt6-qpa-plugins qt6-wayland libtbb-dev libgtest-dev
          libxxhash-dev pkg-config fonts-dejavu-core util-linux poppler-utils weston
          dpkg-dev desktop-file-utils appstream man-db groff-base bash-completion
          e2fsprogs btrfs-progs "$@")

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root (or install sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
