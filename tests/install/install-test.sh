#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks that every file is
# there and valid, that the installed program fills an empty home given with
# --home and renders the demo song byte for byte as the build's program does
# in a home laid out by hand, and that started as from the menu, or with a
# song from another folder, its windows work in the home the rule picks.
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
pid=
cleanup() {
  [[ -n "$pid" ]] && kill -KILL "$pid" 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" > /dev/null

# Every file.
files=(
  bin/korvanto
  share/applications/korvanto.desktop
  share/icons/hicolor/scalable/apps/korvanto.svg
  share/icons/hicolor/48x48/apps/korvanto.png
  share/icons/hicolor/256x256/apps/korvanto.png
  share/mime/packages/korvanto.xml
  share/metainfo/korvanto.metainfo.xml
  share/man/man1/korvanto.1.gz
  share/korvanto/power.dxg
  share/korvanto/Blank.wav
  share/korvanto/Panning.dat
)
for demo in "$source"/data/demo/*; do files+=("share/korvanto/$(basename "$demo")"); done
for f in "${files[@]}"; do [[ -s "$prefix/$f" ]] || fail "$f is not installed"; done
[[ -x "$prefix/bin/korvanto" ]] || fail "bin/korvanto can't be run"
for size in 48 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/korvanto.png
  file -b "$png" | grep -q "PNG image data, $size x $size" || fail "$png: $(file -b "$png")"
done
zcat "$prefix/share/man/man1/korvanto.1.gz" | grep -q '^\.SH THE HOME FOLDER' || fail "man page"

# The validators, where installed.
if command -v desktop-file-validate > /dev/null; then
  desktop-file-validate "$prefix/share/applications/korvanto.desktop" || fail "desktop entry"
else
  echo "skipped: desktop-file-validate is not installed"
fi
if command -v appstreamcli > /dev/null; then
  appstreamcli validate --no-net "$prefix/share/metainfo/korvanto.metainfo.xml" > /dev/null ||
    fail "AppStream metadata: $(appstreamcli validate --no-net "$prefix/share/metainfo/korvanto.metainfo.xml")"
else
  echo "skipped: appstreamcli is not installed"
fi
# The file types: kits and patterns are known by their content, songs by name.
if command -v update-mime-database > /dev/null && command -v gio > /dev/null; then
  update-mime-database "$prefix/share/mime" > "$work/mime.log" 2>&1 || { cat "$work/mime.log"; fail "MIME database"; }
  mkdir "$work/typed"
  cp "$prefix/share/korvanto/power.dxg" "$work/typed/a-kit"
  cp "$prefix/share/korvanto/Rock.pat" "$work/typed/a-pattern"
  cp "$prefix/share/korvanto/Rock.pat" "$work/typed/Rock.pat"  # *.pat is GIMP's too
  cp "$prefix/share/korvanto/Demo.sng" "$work/typed/Song.sng"
  type_of() {
    XDG_DATA_HOME=$work/none XDG_DATA_DIRS=$prefix/share:/usr/share \
      gio info -a standard::content-type "$1" | sed -n 's/.*standard::content-type: //p'
  }
  [[ $(type_of "$work/typed/a-kit") == application/x-korvanto-kit ]] || fail "kit type"
  for pattern in a-pattern Rock.pat; do
    [[ $(type_of "$work/typed/$pattern") == application/x-korvanto-pattern ]] || fail "$pattern type"
  done
  [[ $(type_of "$work/typed/Song.sng") == application/x-korvanto-song ]] || fail "song type"
else
  echo "skipped: update-mime-database or gio is not installed"
fi

# The installed program fills an empty home and renders there.
mkdir "$work/empty"
(cd "$work" && "$prefix/bin/korvanto" --home empty render Demo.sng demo.wav > /dev/null)
for f in power.dxg Blank.wav Panning.dat Demo.sng Rock.pat; do
  cmp -s "$work/empty/$f" "$prefix/share/korvanto/$f" || fail "the home lacks $f"
done
[[ -d "$work/empty/temp" ]] || fail "the home lacks its temp folder"
# The build's program in a home laid out by hand from the build and the sources.
mkdir -p "$work/by-hand/temp"
cp "$build/kit/power.dxg" "$build/kit/Blank.wav" "$source"/data/demo/* "$work/by-hand/"
for _ in $(seq 17); do printf '0\r\n'; done > "$work/by-hand/Panning.dat"
(cd "$work/by-hand" && "$build/korvanto" render Demo.sng demo.wav > /dev/null)
cmp "$work/empty/demo.wav" "$work/by-hand/demo.wav" || fail "the renders differ"

# The windows, started as the menu starts them and as a file manager opens a song.
wait_for() {
  for _ in $(seq 600); do
    [[ -e "$1" ]] && return 0
    kill -0 "$pid" 2> /dev/null || fail "the program ended before $1 was made: $(cat "$work/windows.log")"
    sleep 0.1
  done
  fail "$1 was not made"
}
start_windows() {
  (cd "$1" && shift && exec env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$work/user" QT_QPA_PLATFORM=offscreen \
    SDL_AUDIODRIVER=dummy "$prefix/bin/korvanto" "$@" > "$work/windows.log" 2>&1) &
  pid=$!
}
# SDL takes SIGTERM and SIGINT for itself: only SIGKILL stops it at once.
stop_windows() {
  kill -KILL "$pid"
  wait "$pid" 2> /dev/null || true
  pid=
}
mkdir -p "$work/user"
start_windows "$work/user"
wait_for "$work/user/.local/share/korvanto/temp/sample32.wav"
stop_windows
cmp -s "$work/user/.local/share/korvanto/power.dxg" "$prefix/share/korvanto/power.dxg" ||
  fail "the menu's home was not filled"
[[ ! -e "$work/user/temp" ]] || fail "the menu's start worked in the user's home directory"

mkdir "$work/songs"
cp "$work/by-hand/"{power.dxg,Blank.wav,Panning.dat,Demo.sng} "$work/by-hand/"*.pat "$work/songs/"
start_windows "$work/user" "$work/songs/Demo.sng"
wait_for "$work/songs/temp/sample32.wav"
stop_windows
echo "install layout, validators, home filling and renders checked"
