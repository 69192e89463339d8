#!/usr/bin/env bash
# Installs a build twice, under a plain prefix and with DESTDIR under /usr,
# and checks what lands there: the executables, the resources, the desktop
# entry with the login redirect's scheme, the icon in every size, the
# metainfo (both validated when their tools are installed), and that the
# installed program finds its resources from any working folder.
#   check-install-tree.sh BUILD APP_ID FACEBOOK_APP_ID WORK
set -euo pipefail
build=$1 id=$2 facebook_id=$3 work=$4

fail() { echo "check-install-tree: $*" >&2; exit 1; }

rm -rf "$work"
mkdir -p "$work/elsewhere"
cmake --install "$build" --prefix "$work/prefix" >/dev/null
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null

expected=(
  bin/quillpost
  share/quillpost/categories/category_00.plist
  share/quillpost/layouts
  share/quillpost/images/COTD.jpg
  "share/applications/$id.desktop"
  "share/metainfo/$id.metainfo.xml"
  "share/icons/hicolor/scalable/apps/$id.svg"
)
for side in 48 128 256; do expected+=("share/icons/hicolor/${side}x${side}/apps/$id.png"); done
if [ -e "$build/src/cli/quillpost-app" ]; then expected+=(libexec/quillpost/quillpost-app); fi

for root in "$work/prefix" "$work/stage/usr"; do
  for file in "${expected[@]}"; do
    [ -e "$root/$file" ] || fail "$root/$file is missing"
  done
  for side in 48 128 256; do
    # A PNG's width and height are the big-endian words at bytes 16 and 20.
    size=$(od -An -tx1 -j16 -N8 "$root/share/icons/hicolor/${side}x${side}/apps/$id.png" | tr -d ' \n')
    [ "$size" = "$(printf '%08x%08x' "$side" "$side")" ] || fail "the ${side}-pixel icon is not ${side} pixels square (${size})"
  done
done

root="$work/stage/usr"
desktop="$root/share/applications/$id.desktop"
metainfo="$root/share/metainfo/$id.metainfo.xml"
grep -qx "MimeType=x-scheme-handler/fb$facebook_id;" "$desktop" ||
  fail "$desktop does not claim the fb$facebook_id scheme"
grep -qx "Exec=quillpost --open %u" "$desktop" || fail "$desktop does not pass the URL to --open"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "$metainfo does not name the desktop entry"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate refused $desktop"
else
  echo "check-install-tree: desktop-file-validate skipped: not installed (scripts/bootstrap installs desktop-file-utils)"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" || fail "appstreamcli refused $metainfo"
else
  echo "check-install-tree: appstreamcli skipped: not installed (scripts/bootstrap installs appstream)"
fi

# The installed program reads the installed resources, not the source tree's:
# a category dropped from the staged copy is missing from what it lists.
unset QUILLPOST_RESOURCES
rm "$root/share/quillpost/categories/category_04.plist"
cd "$work/elsewhere"
listed=$("$root/bin/quillpost" themes)
[ -n "$listed" ] || fail "the installed quillpost lists no themes"
if printf '%s\n' "$listed" | grep -Eq '^category +4 '; then
  fail "the installed quillpost read resources other than $root/share/quillpost"
fi
printf '%s\n' "$listed" | grep -Eq '^category +3 ' || fail "the installed quillpost lists no category 3"
if [ -e "$root/libexec/quillpost/quillpost-app" ]; then
  QT_QPA_PLATFORM=offscreen QUILLPOST_HOME="$work/home" XDG_CONFIG_HOME="$work/config" \
    "$root/bin/quillpost" --headless >/dev/null 2>"$work/headless.err" ||
    fail "the installed app did not run headless: $(cat "$work/headless.err")"
fi
echo "check-install-tree: the install tree is complete"
