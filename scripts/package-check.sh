#!/usr/bin/env bash
# Installs the build into a staging folder, validates what a desktop and a
# packager read (desktop entry, AppStream metainfo, man pages, completion),
# and builds the .deb with cpack. usage: scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=${1:-build}
scripts/build.sh "$build"

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
root=$stage/usr
app_id=$(sed -n 's/^#define KELVANE_APP_ID "\(.*\)"$/\1/p' "$build/generated/common/version.h")
version=$(sed -n 's/^#define KELVANE_VERSION "\(.*\)"$/\1/p' "$build/generated/common/version.h")

echo "== installed files"
(cd "$stage" && find . -type f | sort)
for f in bin/kelvane bin/kelvane-cli share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$app_id.svg share/icons/hicolor/48x48/apps/$app_id.png \
         share/man/man1/kelvane.1.gz share/man/man1/kelvane-cli.1.gz \
         share/bash-completion/completions/kelvane-cli share/doc/kelvane/copyright; do
  [ -f "$root/$f" ] || { echo "missing: /usr/$f" >&2; exit 1; }
done

echo "== desktop entry"
desktop-file-validate "$root/share/applications/$app_id.desktop"
echo "== metainfo"
appstreamcli validate --no-net --pedantic "$root/share/metainfo/$app_id.metainfo.xml"
echo "== man pages"
for page in "$root"/share/man/man1/*.1.gz; do
  warnings=$( { LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" >/dev/null; } 2>&1)
  warnings+=$(zcat "$page" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || { echo "$page:"; echo "$warnings"; exit 1; }
  echo "$(basename "$page"): no warnings"
done
echo "== versions"
[ "$("$root/bin/kelvane-cli" --version)" = "kelvane-cli $version" ]
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/kelvane" --version)" = "kelvane $version" ]
echo "kelvane and kelvane-cli $version"
echo "== bash completion"
completes() { # words... : what the installed completion offers for the last word
  bash -c 'source /usr/share/bash-completion/bash_completion
           source "$1/share/bash-completion/completions/kelvane-cli"; shift
           PATH=$0/bin:$PATH; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
           COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
           _kelvane_cli 2>/dev/null; echo "${COMPREPLY[*]}"' "$root" "$root" "$@"
}
[ "$(completes kelvane-cli du)" = duplicates ]
options=" $(completes kelvane-cli hogs --) "
[[ $options == *" --json "* && $options == *" --null "* ]]
echo "commands and options complete"

echo "== package"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/kelvane_"$version"_*.deb | head -n 1)
dpkg-deb -I "$deb"
dpkg-deb -c "$deb"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6printsupport6 libqt6core6 libtbb qt6-qpa-plugins; do
  [[ $depends == *"$needed"* ]] || { echo "Depends lacks $needed: $depends" >&2; exit 1; }
done
echo "built $deb"
