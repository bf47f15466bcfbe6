#!/usr/bin/env bash
# Installs the build into a DESTDIR staging folder and checks what a desktop needs is there and
# valid. Usage: install_tree.sh BUILD_DIR BINDIR DATADIR_FROM_BINDIR
set -uo pipefail
build=$1 bindir=$2 data_from_bin=$3
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
need() { command -v "$1" >/dev/null || { echo "FAIL: $1 is not installed (scripts/install-deps.sh installs it)"; exit 1; }; }
need desktop-file-validate
need appstreamcli
need man

if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1; then
  cat "$stage.log"; rm -f "$stage.log"; echo "FAIL: cmake --install"; exit 1
fi
rm -f "$stage.log"
root="$stage/usr"
id=com.quorvel.Trellan

for program in trellan trellanctl trellan-sim; do
  [ -x "$root/$bindir/$program" ] || fail "program $bindir/$program"
done
expected=(
  share/applications/$id.desktop
  share/metainfo/$id.metainfo.xml
  share/icons/hicolor/scalable/apps/$id.svg
  share/man/man1/trellan.1.gz share/man/man1/trellanctl.1.gz share/man/man1/trellan-sim.1.gz
  share/bash-completion/completions/trellanctl
  share/trellan/sim/demo-fleet.json share/trellan/sim/catalogue-fleet.json share/trellan/sim/catalogue-values.json
  share/doc/trellan/copyright share/doc/trellan/changelog.gz
)
for file in "${expected[@]}"; do
  [ -s "$root/$file" ] || fail "missing $file"
done

# The help where the program looks for it: the data folder seen from the programs' folder.
[ -s "$root/$bindir/$data_from_bin/help/index.html" ] || fail "help not at $bindir/$data_from_bin/help/index.html"

# Every icon size, each PNG of the size its folder names (width and height from the IHDR chunk).
for size in 16 22 24 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/$id.png"
  if [ ! -s "$png" ]; then fail "missing icon ${size}x${size}"; continue; fi
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
  [ "$dims" = "${size}x${size}" ] || fail "icon ${size}x${size} is $dims"
done

desktop-file-validate "$root/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -qx "Icon=$id" "$root/share/applications/$id.desktop" || fail "desktop entry names another icon"
grep -qx "Exec=trellan" "$root/share/applications/$id.desktop" || fail "desktop entry starts another program"
appstreamcli validate --no-net "$root/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$root/share/metainfo/$id.metainfo.xml" ||
  fail "metainfo does not launch the desktop entry"
# Each screenshot the metadata names is one of the pictures kept with the sources.
for picture in $(grep -o '[^/]*\.png</image>' "$root/share/metainfo/$id.metainfo.xml" | sed 's|</image>||'); do
  [ -f "$TRELLAN_SOURCE_DIR/docs/screenshots/$picture" ] || fail "screenshot $picture is not in docs/screenshots"
done

# Man pages: roff without a warning, each renders with its NAME section.
for page in trellan trellanctl trellan-sim; do
  file="$root/share/man/man1/$page.1.gz"
  [ -s "$file" ] || continue
  warnings=$(MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^NAME" || fail "man $page does not render"
done

bash -n "$root/share/bash-completion/completions/trellanctl" || fail "completion is not valid bash"

# The installed programs start, and the simulator reads its installed data.
"$root/$bindir/trellanctl" --help >/dev/null || fail "installed trellanctl --help"
"$root/$bindir/trellan-sim" --check --data "$root/share/trellan/sim/demo-fleet.json" >/dev/null ||
  fail "installed trellan-sim cannot read its demo fleet"
"$root/$bindir/trellan-sim" --check --data "$root/share/trellan/sim/catalogue-fleet.json" >/dev/null ||
  fail "installed trellan-sim cannot read its catalogue fleet"
"$root/$bindir/trellan" --version >/dev/null || fail "installed trellan --version"

if [ "$failures" -ne 0 ]; then echo "$failures problem(s) in the installed tree"; exit 1; fi
echo "installed tree complete and valid"
