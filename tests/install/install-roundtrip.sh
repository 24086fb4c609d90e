#!/bin/sh
# Installs into a scratch prefix, checks the layout and the desktop entries,
# then uninstalls and checks that only the user's files are left.
# usage: install-roundtrip.sh BUILD_DIR SOURCE_DIR
set -eu
build=$1
source=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A directory that was there before the install stays after it.
mkdir "$prefix/bin"
cmake --install "$build" --prefix "$prefix" >/dev/null
app="$prefix/share/kidrill"
# As `make install` does.
if command -v update-desktop-database >/dev/null; then update-desktop-database -q "$prefix/share/applications"; fi
if command -v gtk-update-icon-cache >/dev/null; then gtk-update-icon-cache -q -t "$prefix/share/icons/hicolor"; fi
for f in kidrill kidlist libkidrill_sound.so roma.txt code.dat word1.txt word2.txt word3.txt; do
    [ -f "$app/$f" ] || fail "$f not installed"
done
[ -x "$prefix/bin/kidrill" ] && [ -x "$prefix/bin/kidlist" ] || fail "no launchers"
for id in org.kidrill.Drill org.kidrill.WordList; do
    entry="$prefix/share/applications/$id.desktop"
    grep -q "^Exec=\"$prefix/bin/" "$entry" || fail "$id names no installed launcher"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$entry" || fail "$id.desktop does not validate"
    fi
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no $id.svg"
    [ -f "$prefix/share/icons/hicolor/48x48/apps/$id.png" ] || fail "no $id.png"
done

# The launcher starts the program from its own directory: without
# roma.txt the drill ends at once and writes nothing.
mv "$app/roma.txt" "$app/roma.keep"
QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/kidrill" || fail "the launcher did not start kidrill"
[ ! -e "$app/kidrill.ini" ] || fail "an ended start-up wrote settings"
mv "$app/roma.keep" "$app/roma.txt"

# The user's files stay through an uninstall, unless purged.
echo "[Option]" > "$app/kidrill.ini"
echo "x" > "$app/wordu.txt"
echo "mine" > "$prefix/share/applications/other.desktop"
"$source/scripts/uninstall" "$prefix" >/dev/null
[ -f "$app/kidrill.ini" ] && [ -f "$app/wordu.txt" ] || fail "uninstall removed the user's files"
[ ! -e "$app/kidrill" ] && [ ! -e "$prefix/bin/kidrill" ] || fail "uninstall left the programs"
[ ! -e "$prefix/share/applications/org.kidrill.Drill.desktop" ] || fail "uninstall left a desktop entry"
[ -f "$prefix/share/applications/other.desktop" ] || fail "uninstall removed a file it did not install"
rm "$prefix/share/applications/other.desktop"
[ -z "$(find "$prefix" -type f -name '*.png')" ] || fail "uninstall left icons"

cmake --install "$build" --prefix "$prefix" >/dev/null
"$source/scripts/uninstall" "$prefix" --purge >/dev/null
[ ! -e "$app" ] || fail "a purge left $app"
# The directories the installs made go, with the caches made in them.
left=$(find "$prefix" -mindepth 1)
[ "$left" = "$prefix/bin" ] || fail "uninstall left $(echo $left)"
echo "install round trip: ok"
