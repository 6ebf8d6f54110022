#!/usr/bin/env bash
# An installation into a fresh prefix works on its own: run from another folder, the program finds
# its shipped files there (templates, translations), and the desktop entry is valid.
# Arguments: the build directory, the folder of the sample drawings.
set -euo pipefail
build="$1" samples="$2"
prefix="$(mktemp -d)"
home="$(mktemp -d)"
trap 'rm -rf "$prefix" "$home"' EXIT

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/quentar share/quentar/template0.dat share/quentar/template1.dat \
    share/quentar/translate.dat share/applications/quentar.desktop \
    share/icons/hicolor/scalable/apps/quentar.svg; do
    [ -f "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/quentar.desktop"
fi

# The installed program finds its data folder relative to itself, not to the working folder.
cd /
part="$samples/voron_deck_panel_fusion360_r14.dxf"
out="$(HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_DATA_HOME="$home/.local/share" \
    "$prefix/bin/quentar" quote "$part" --quantity 3 --json)"
case "$out" in
*'"StueckEd":"3"'*'"GesamtPreisEd":"'*) ;;
*) echo "unexpected quote: $out" >&2; exit 1 ;;
esac
HOME="$home" "$prefix/bin/quentar" resave "$part" "$home/copy.dxf"
cmp "$home/copy.dxf" <(sed 's/\r*$/\r/' "$part")
echo "installed program works from $prefix"
