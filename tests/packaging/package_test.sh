#!/bin/bash
# Builds the Debian package from the build tree and checks it: the expected
# files and dependencies, and no lintian errors. Runs only when CI is set
# (it takes a packaging run and a lintian run); skipped otherwise.
#
# Lintian's warnings, left as they are: maintscript-calls-ldconfig (CPack
# adds an ldconfig call for any library under /usr/lib, our private ones in
# /usr/lib/torvane included; it is harmless).
#
# usage: package_test.sh BUILD_DIR
set -u
BUILD=$1
if [ -z "${CI:-}" ]; then
    echo "skipped: set CI to build and check the package"
    exit 77
fi
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

for tool in cpack dpkg-deb dpkg-shlibdeps lintian; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done
cpack -G DEB --config "$BUILD/CPackConfig.cmake" -B "$WORK" >"$WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$WORK/cpack.log")"
DEB=$(ls "$WORK"/torvane_*.deb 2>/dev/null | head -n1)
[ -n "$DEB" ] || fail "no package made: $(cat "$WORK/cpack.log")"

dpkg-deb --info "$DEB" >"$WORK/info" || fail "dpkg-deb --info failed"
grep -q '^ Package: torvane$' "$WORK/info" || fail "wrong package name: $(cat "$WORK/info")"
DEPENDS=$(sed -n 's/^ Depends: //p' "$WORK/info")
for dependency in libqt6widgets6 libc6 qt6-qpa-plugins; do
    [[ "$DEPENDS" == *"$dependency"* ]] || fail "Depends lacks $dependency: $DEPENDS"
done
grep -q '^ Recommends: .*avra' "$WORK/info" || fail "avra is not recommended: $(cat "$WORK/info")"

dpkg-deb --contents "$DEB" | awk '{print $NF}' >"$WORK/contents"
for file in ./usr/bin/torvane ./usr/bin/torvane-cli ./usr/lib/torvane/libPelorin.so ./usr/lib/torvane/asemw \
    ./usr/lib/torvane/avrasm32 ./usr/share/torvane/Scripts/asm51.tsc ./usr/share/applications/torvane.desktop \
    ./usr/share/icons/hicolor/scalable/apps/torvane.svg ./usr/share/icons/hicolor/256x256/apps/torvane.png \
    ./usr/share/mime/packages/torvane.xml ./usr/share/man/man1/torvane-cli.1.gz ./usr/share/doc/torvane/copyright; do
    grep -qx "$file" "$WORK/contents" || fail "$file is not in the package"
done

lintian --tag-display-limit 0 "$DEB" >"$WORK/lintian" 2>&1
grep '^E:' "$WORK/lintian" && fail "lintian reports errors"
grep '^W:' "$WORK/lintian" | sed 's/^/lintian warning: /'
echo "PASS: $(basename "$DEB") holds the program, its parts and dependencies; lintian reports no errors"
