#!/usr/bin/env bash
# Installs the build into a fresh prefix and checks the tree: the three programs, the desktop
# entry (accepted by desktop-file-validate), the icon, and the MIME types of .wv8 and .st8, which
# update-mime-database must compile into globs and magic.
set -euo pipefail
cmake_command=$1 build=$2
command -v desktop-file-validate > /dev/null || { echo "desktop-file-validate is missing"; exit 77; }
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

"$cmake_command" --install "$build" --prefix "$prefix" > /dev/null
for program in vqviewer vqtool vqsim; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not installed"
done
"$prefix/bin/vqviewer" --version | grep -q '^vqviewer ' || fail "the installed vqviewer does not run"

desktop=$prefix/share/applications/vqviewer.desktop
[ -f "$desktop" ] || fail "no desktop entry"
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses $desktop"
grep -qx 'Exec=vqviewer %f' "$desktop" || fail "Exec does not pass the file"
grep -qx 'Icon=vqviewer' "$desktop" || fail "Icon is not vqviewer"
grep -qx 'MimeType=application/x-vq7000b-trace;application/x-vq7000b-settings;' "$desktop" ||
  fail "MimeType does not name both file types"

icon=$prefix/share/icons/hicolor/scalable/apps/vqviewer.svg
[ -f "$icon" ] || fail "no icon"
grep -q '<svg' "$icon" || fail "the icon is not SVG"

mime=$prefix/share/mime/packages/vqviewer.xml
[ -f "$mime" ] || fail "no MIME package"
if command -v xmllint > /dev/null; then
  xmllint --noout "$mime" "$icon" || fail "MIME package or icon is not well-formed XML"
fi
grep -q '<glob pattern="\*.wv8"/>' "$mime" || fail "no *.wv8 glob"
grep -q '<glob pattern="\*.st8"/>' "$mime" || fail "no *.st8 glob"
if command -v update-mime-database > /dev/null; then
  # Any complaint about the package fails; the prefix is named as a data folder to keep it quiet.
  errors=$(XDG_DATA_DIRS=$prefix/share update-mime-database "$prefix/share/mime" 2>&1 >/dev/null) || fail "update-mime-database: $errors"
  [ -z "$errors" ] || fail "update-mime-database: $errors"
  grep -q 'application/x-vq7000b-trace:\*\.wv8' "$prefix/share/mime/globs2" || fail "glob .wv8 not compiled"
  grep -q 'application/x-vq7000b-settings:\*\.st8' "$prefix/share/mime/globs2" || fail "glob .st8 not compiled"
  # The compiled magic holds each identifier text with its CR LF.
  for id in '"QXBWAV"' '"QXBSET"'; do
    grep -qa "$id"$'\r' "$prefix/share/mime/magic" || fail "magic $id not compiled"
  done
fi
echo "install tree complete"
