#!/usr/bin/env bash
# Makes the Debian package from an existing build and checks it: its file
# list, Depends worked out from the shared libraries, and that apt accepts
# it for installing on this machine (simulated).
#   check-package.sh BUILD APP_ID
set -euo pipefail
build=$1 id=$2

fail() { echo "check-package: $*" >&2; exit 1; }

cd "$build"
rm -f quillpost_*.deb
cpack -G DEB >cpack.log 2>&1 || { cat cpack.log >&2; fail "cpack failed"; }
packages=(quillpost_*.deb)
[ "${#packages[@]}" = 1 ] && [ -e "${packages[0]}" ] || fail "cpack made no single quillpost_*.deb"
deb="$PWD/${packages[0]}"

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
  ./usr/bin/quillpost
  ./usr/share/quillpost/categories/category_00.plist
  ./usr/share/quillpost/layouts/
  "./usr/share/applications/$id.desktop"
  "./usr/share/metainfo/$id.metainfo.xml"
  "./usr/share/icons/hicolor/scalable/apps/$id.svg"
  "./usr/share/icons/hicolor/48x48/apps/$id.png"
  "./usr/share/icons/hicolor/128x128/apps/$id.png"
  "./usr/share/icons/hicolor/256x256/apps/$id.png"
)
if [ -e src/cli/quillpost-app ]; then expected+=(./usr/libexec/quillpost/quillpost-app); fi
for file in "${expected[@]}"; do
  printf '%s\n' "$files" | grep -qxF "$file" || fail "$deb lacks $file"
done
# Nothing of the build or the tests comes along.
if printf '%s\n' "$files" | grep -E '(_tests|\.a|/include/)$'; then fail "$deb holds build files"; fi

depends=$(dpkg-deb -f "$deb" Depends)
for library in libqt6core6 libc6 fonts-dejavu-core; do
  printf '%s' "$depends" | grep -q "$library" || fail "Depends lacks $library: $depends"
done

apt-get install --simulate -q "$deb" >apt-simulate.log 2>&1 ||
  { cat apt-simulate.log >&2; fail "apt-get refuses $deb"; }
echo "check-package: $(basename "$deb"), $(du -h "$deb" | cut -f1), $(printf '%s\n' "$files" | wc -l) entries"
