#!/usr/bin/env bash
# Builds the Debian package from the build tree with cpack, lists its files
# and its dependencies, and checks them: the player, its private platform
# library, plug-in and translator, no test programs, and dependencies
# worked out from the libraries the programs link. The extracted player
# must start from the package's own files.
#   package_test.sh BUILD_DIR
# Exits 77 (skipped) when the Debian packaging tools are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIPPED: $tool is missing (Debian packages dpkg and dpkg-dev)"
    exit 77
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/package-test-XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Packs what is built.
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out") \
  >"$work/cpack.log" 2>&1 \
  || { cat "$work/cpack.log" >&2; fail "cpack -G DEB"; }
package="$(ls "$work"/out/melodeck_*.deb 2>/dev/null | head -1)"
[ -n "$package" ] || { cat "$work/cpack.log" >&2; fail "cpack made no melodeck_*.deb"; }

info="$(dpkg-deb -I "$package")"
files="$(dpkg-deb -c "$package" | awk '{print $6}')"
echo "$(basename "$package"):"
sed -n 's/^ \(Package\|Version\|Architecture\|Section\|Depends\|Recommends\):/  \1:/p' <<<"$info"
sed 's/^/  /' <<<"$files"

field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = melodeck ] || fail "package name '$(field Package)'"
[ "$(field Section)" = sound ] || fail "section '$(field Section)'"
[ -n "$(field Version)" ] || fail "no version"
depends="$(field Depends)"
for library in libc6 'libstdc++6' libmpv libtag libcairo2 libpango libsdl2 libfontconfig1; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done
# libbe is the package's own; nothing asks for it from elsewhere.
! grep -q "libbe" <<<"$depends" || fail "Depends names the package's own libbe: $depends"

for file in usr/bin/melodeck usr/lib/melodeck/libbe.so usr/lib/melodeck/plugins/gen_VersoD.so \
            usr/lib/melodeck/plugins/VersoD.htm usr/lib/melodeck/plugins/Language/English.llt \
            usr/lib/melodeck/Translators/Packscope usr/share/applications/melodeck.desktop \
            usr/share/icons/hicolor/128x128/apps/melodeck.png usr/share/man/man1/melodeck.1; do
  grep -qx "./$file" <<<"$files" || fail "the package lacks /$file"
done
! grep -qE '/(test_|bench_)|_demo$|/tools/' <<<"$files" || fail "the package holds test programs or tools"

# The extracted player runs from the package's files alone.
dpkg-deb -x "$package" "$work/root"
# The resources appended to a file, without the trailer that says where
# they start (which moves when the file before them changes): a checksum.
resources_sum() {
  [ "$(tail -c 40 "$1" | head -c 8)" = "BeRsrc01" ] || { echo none; return; }
  local size
  size="$(tail -c 8 "$1" | od -An -t u8 | tr -d ' ')"
  tail -c "$size" "$1" | head -c "$((size - 40))" | cksum
}
# The package's files are stripped; the plug-in's resources are still there.
plugin="$work/root/usr/lib/melodeck/plugins/gen_VersoD.so"
! readelf -S "$plugin" | grep -q '\.debug_info' || fail "the plug-in was not stripped"
[ "$(resources_sum "$plugin")" != none ] \
  && [ "$(resources_sum "$plugin")" = "$(resources_sum "$build/bin/plugins/gen_VersoD.so")" ] \
  || fail "the packaged plug-in lost the resources appended to it"
help="$(env -u LD_LIBRARY_PATH "$work/root/usr/bin/melodeck" --help)" \
  || fail "the packaged player does not start"
grep -q "^usage: melodeck" <<<"$help" || fail "the packaged player's help: $help"
