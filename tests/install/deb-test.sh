#!/usr/bin/env bash
# Builds the Debian package with CPack and checks its file list, its
# Depends (Debian packages of Qt 6, SDL2, libsndfile and libmpg123), its
# copyright file and changelog, and that lintian finds neither an error nor a
# warning in it. Skips without the Debian packaging tools or lintian.
set -euo pipefail
build=$(cd "$1" && pwd)
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-query dpkg-parsechangelog lintian; do
  command -v "$tool" > /dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$work" > "$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack"; }
debs=("$work"/korvanto_*.deb)
[[ -f "${debs[0]}" ]] || fail "no package made"
deb=${debs[0]}
[[ $(basename "$deb") == korvanto_*_"$(dpkg --print-architecture)".deb ]] || fail "$(basename "$deb")"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/korvanto \
  ./usr/share/applications/korvanto.desktop \
  ./usr/share/icons/hicolor/scalable/apps/korvanto.svg \
  ./usr/share/icons/hicolor/48x48/apps/korvanto.png \
  ./usr/share/icons/hicolor/256x256/apps/korvanto.png \
  ./usr/share/mime/packages/korvanto.xml \
  ./usr/share/metainfo/korvanto.metainfo.xml \
  ./usr/share/man/man1/korvanto.1.gz \
  ./usr/share/korvanto/power.dxg \
  ./usr/share/korvanto/Blank.wav \
  ./usr/share/korvanto/Panning.dat \
  ./usr/share/korvanto/Demo.sng \
  ./usr/share/korvanto/Rock.pat \
  ./usr/share/doc/korvanto/copyright \
  ./usr/share/doc/korvanto/changelog.gz; do
  grep -qxF "$f" <<< "$contents" || fail "$f is not in the package"
done
# Nothing outside /usr, nothing of the build's own.
if grep -v '^\./usr/' <<< "$contents" | grep -qvx '\./'; then fail "files outside /usr"; fi
if grep -qE '\.(a|h|cpp)$|/include/|/tests?/' <<< "$contents"; then fail "build files in the package"; fi

[[ $(dpkg-deb -f "$deb" Package) == korvanto ]] || fail "package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for package in libqt6widgets6 libqt6core6 libsdl2-2.0-0 libsndfile1 libmpg123-0; do
  grep -qE "(^|, )$package( |,|$)" <<< "$depends" || fail "Depends lacks $package"
done
# Each is a Debian package (the build installed them all from the archive).
for package in $(tr ',' '\n' <<< "$depends" | sed 's/(.*//; s/|.*//' | tr -d ' '); do
  dpkg-query -W "$package" > /dev/null 2>&1 || fail "$package is no installed Debian package"
done

# The maintainer has an address; the changelog's latest entry is this version.
address='^[^<]+ <[^@> ]+@[^> ]+>$'
[[ $(dpkg-deb -f "$deb" Maintainer) =~ $address ]] || fail "Maintainer without an address"
unpacked="$work/unpacked"
dpkg-deb -x "$deb" "$unpacked"
doc="$unpacked/usr/share/doc/korvanto"
gunzip -c "$doc/changelog.gz" > "$work/changelog"
[[ $(dpkg-parsechangelog -l "$work/changelog" -S Version) == $(dpkg-deb -f "$deb" Version) ]] ||
  fail "the changelog's latest version is not the package's"
grep -qx 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$doc/copyright" ||
  fail "copyright is not in the machine-readable format"
grep -qx 'License: GPL-3+' "$doc/copyright" || fail "copyright names no GPL-3+"

# Lintian's verdict; its informational notes are not counted.
lintian --fail-on error,warning --tag-display-limit 0 "$deb" > "$work/lintian.log" 2>&1 || {
  cat "$work/lintian.log"
  fail "lintian"
}
cat "$work/lintian.log"
echo "package file list, Depends, documents and lintian checked"
