#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed player
# headless with a playlist and a lyrics file: the player must find its
# platform library, its plug-ins and its translators relative to itself,
# never in the build tree, and the displayer must follow the song.
#   installed_player_test.sh BUILD_DIR
set -euo pipefail
build="$(cd "$1" && pwd)"

for built in bin/melodeck lib/libbe.so bin/plugins/gen_VersoD.so bin/Translators/Packscope \
             icons/melodeck-48.png icons/melodeck-128.png; do
  if [ ! -f "$build/$built" ]; then
    echo "FAIL: $build/$built is not built; build the targets melodeck, gen_VersoD," \
         "Packscope and melodeck_icons first" >&2
    exit 1
  fi
done

work="$(mktemp -d "${TMPDIR:-/tmp}/installed-player-XXXXXX")"
player=""
cleanup() {
  [ -n "$player" ] && kill "$player" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$(realpath "$work")/prefix"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" \
  || { cat "$work/install.log" >&2; fail "cmake --install"; }

# The layout, and nothing else.
lib="$prefix/lib/melodeck"
expected=(
  bin/melodeck
  lib/melodeck/libbe.so
  lib/melodeck/plugins/gen_VersoD.so
  lib/melodeck/plugins/VersoD.htm
  lib/melodeck/plugins/Language/English.llt
  lib/melodeck/Translators/Packscope
  share/applications/melodeck.desktop
  share/icons/hicolor/48x48/apps/melodeck.png
  share/icons/hicolor/128x128/apps/melodeck.png
  share/man/man1/melodeck.1
)
for file in "${expected[@]}"; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
[ "$(ls "$prefix/bin")" = "melodeck" ] || fail "bin/ holds more than the player: $(ls "$prefix/bin")"
extra="$(cd "$prefix" && find . -type f | grep -E '/(test_|bench_|fuzz_)|_demo$|make_|berestool' || true)"
[ -z "$extra" ] || fail "test programs or build tools were installed: $extra"

# The desktop entry is valid (desktop-file-utils, installed by scripts/setup).
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/melodeck.desktop" \
    || fail "the desktop entry is not valid"
fi

# The manual page describes every option the player's help lists.
options="$(env -u LD_LIBRARY_PATH "$prefix/bin/melodeck" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)"
[ -n "$options" ] || fail "the installed player's --help lists no options"
manual="$(sed 's/\\-/-/g' "$prefix/share/man/man1/melodeck.1")"
for option in $options; do
  grep -q -- "$option" <<<"$manual" || fail "the manual page lacks $option"
done

# RUNPATHs relative to the installed files; nothing points into the build.
runpath() { readelf -d "$1" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]/\2/p'; }
[ "$(runpath "$prefix/bin/melodeck")" = '$ORIGIN/../lib/melodeck' ] \
  || fail "bin/melodeck has RUNPATH '$(runpath "$prefix/bin/melodeck")'"
for module in plugins/gen_VersoD.so Translators/Packscope; do
  [ "$(runpath "$lib/$module")" = '$ORIGIN/..' ] \
    || fail "$module has RUNPATH '$(runpath "$lib/$module")'"
done
for file in bin/melodeck lib/melodeck/plugins/gen_VersoD.so lib/melodeck/Translators/Packscope; do
  resolved="$(env -u LD_LIBRARY_PATH ldd "$prefix/$file" | sed -n 's/.*libbe\.so => \([^ ]*\).*/\1/p')"
  [ -n "$resolved" ] && resolved="$(realpath "$resolved")"
  [ "$resolved" = "$(realpath "$lib/libbe.so")" ] || fail "$file finds libbe.so at '$resolved'"
done
# The resources appended to a file, without the trailer that says where
# they start (which moves when the file before them changes): a checksum.
resources_sum() {
  [ "$(tail -c 40 "$1" | head -c 8)" = "BeRsrc01" ] || { echo none; return; }
  local size
  size="$(tail -c 8 "$1" | od -An -t u8 | tr -d ' ')"
  tail -c "$size" "$1" | head -c "$((size - 40))" | cksum
}
# The plug-in's resources sit after its ELF data; rewriting the RUNPATH on
# installation must keep them.
[ "$(resources_sum "$build/bin/plugins/gen_VersoD.so")" != none ] \
  || fail "the built plug-in has no resources"
[ "$(resources_sum "$build/bin/plugins/gen_VersoD.so")" = "$(resources_sum "$lib/plugins/gen_VersoD.so")" ] \
  || fail "the installed plug-in lost the resources appended to it"

# A song that is not there (the player plays it on the clock) with its
# lyrics beside it, a line every half second.
music="$work/music"
mkdir -p "$music"
printf '#EXTM3U\n#EXTINF:30,Install Check\ninstall-check.mp3\n' >"$music/list.m3u8"
for i in $(seq 0 19); do
  printf '[00:%02d.%02d]line number %d\n' $((i / 2)) $((i % 2 * 50)) "$i"
done >"$music/install-check.lrc"

# In a sanitizer build, the libraries beneath the platform keep some of
# their caches for the life of the process, as in the test programs.
printf 'leak:libfontconfig.so\nleak:libpangoft2-1.0.so\nleak:libdbus-1.so\n' >"$work/lsan.supp"
export LSAN_OPTIONS="suppressions=$work/lsan.supp:${LSAN_OPTIONS:-}"

shots="$work/shots"
mkdir -p "$work/config" "$work/home" "$work/run"
chmod 700 "$work/run"
(cd "$work" && exec env -u LD_LIBRARY_PATH -u TRANSLATORS -u VERSO_HEADLESS -u VERSO_DISPLAY \
   HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/home/data" \
   XDG_RUNTIME_DIR="$work/run" \
   "$prefix/bin/melodeck" --headless --clock --seconds 4 --screenshots "$shots" \
   "$music/list.m3u8" >"$work/stdout" 2>"$work/stderr") &
player=$!

# While it runs: what it mapped, and each new picture of the lyrics window
# (the second window the display opens).
maps=""
pictures=""
deadline=$((SECONDS + 20))
while kill -0 "$player" 2>/dev/null; do
  [ $SECONDS -lt $deadline ] || fail "the player did not quit after --seconds 4"
  if [ -z "$maps" ] && grep -q gen_VersoD "/proc/$player/maps" 2>/dev/null; then
    maps="$(cat "/proc/$player/maps" 2>/dev/null || true)"
  fi
  if [ -f "$shots/window-2.png" ]; then
    sum="$(cksum <"$shots/window-2.png")"
    case "$pictures" in *"$sum"*) ;; *) pictures="$pictures$sum;" ;; esac
  fi
  sleep 0.1
done
status=0
wait "$player" || status=$?
player=""
if [ "$status" -ne 0 ]; then
  cat "$work/stderr" >&2
  fail "the installed player exited with $status"
fi

grep -q "cannot load\|did not start\|declined" "$work/stderr" \
  && { cat "$work/stderr" >&2; fail "the plug-in did not load"; }
[ -n "$maps" ] || { cat "$work/stderr" >&2; fail "the player never loaded gen_VersoD.so"; }
grep -q " $lib/plugins/gen_VersoD.so$" <<<"$maps" || fail "the plug-in was not loaded from $lib/plugins"
grep -q " $lib/libbe.so$" <<<"$maps" || fail "libbe.so was not loaded from $lib"
! grep -q " $build/" <<<"$maps" || fail "the installed player mapped files of the build tree"
grep -q "^playing" "$work/stdout" || { cat "$work/stdout" >&2; fail "the player printed no status"; }
changes="$(tr -cd ';' <<<"$pictures" | wc -c)"
[ "$changes" -ge 3 ] || fail "the lyrics window showed $changes different pictures in 4 seconds (expected it to follow the lines)"

echo "installed player: plug-in loaded from $lib/plugins, $changes pictures of the lyrics window"
