#!/usr/bin/env bash
# make run's folder: the calculator runs from a folder of its own with its
# library beside it, and a calculator file saved there survives make clean
# and the next build, also one that an older make run left in the build.
#   run_folder_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
src=$1
bin=$2
t=$(mktemp -d)
pid=""
cleanup() {
  if [[ -n "$pid" ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$t"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A build folder that holds what the release build makes.
fake_build() {
  mkdir -p "$t/build/release/bin"
  cp "$bin"/{zimro,libvek.so,libplatform.so,zimro.si} "$t/build/release/bin/"
  cp -R "$bin/help" "$t/build/release/bin/help"
}
mk() { make -s -C "$src" --no-print-directory BUILD="$t/build" RUNDIR="$t/run" "$@"; }
# UTF-16LE with byte-order mark, as the calculator writes its files.
utf16() { printf '\xff\xfe'; printf '%s' "$1" | iconv -f UTF-8 -t UTF-16LE; }

fake_build
mk run-folder
for f in zimro libvek.so libplatform.so zimro.si help/index.html; do
  [[ -e "$t/run/$f" ]] || fail "run folder lacks $f"
done

# The user's calculator file, whose automatic program says where it ran.
utf16 $'B0=\\4DIM a = WRITEB("ran.txt", "here")\r\nButtonDispLine2=0\r\n' > "$t/run/zimro.ini"
cp "$t/run/zimro.ini" "$t/saved.ini"
(cd "$t/run" && QT_QPA_PLATFORM=offscreen exec ./zimro >"$t/out.txt" 2>&1) &
pid=$!
for _ in $(seq 1 250); do
  [[ "$(cat "$t/run/ran.txt" 2>/dev/null)" == here ]] && break
  sleep 0.04
done
[[ "$(cat "$t/run/ran.txt" 2>/dev/null)" == here ]] ||
  fail "zimro in the run folder did not run its calculator file: $(cat "$t/out.txt")"
kill "$pid"; wait "$pid" 2>/dev/null || true; pid=""
rm -f "$t/run/ran.txt"
cp "$t/saved.ini" "$t/run/zimro.ini"  # whatever the program did on its way out

mk clean
[[ ! -e "$t/build" ]] || fail "make clean left the build folder"
cmp -s "$t/saved.ini" "$t/run/zimro.ini" || fail "make clean changed the calculator file"
for f in zimro libvek.so libplatform.so zimro.si help; do
  [[ ! -e "$t/run/$f" ]] || fail "make clean left $f in the run folder"
done

# The next build and run: the file is as it was.
fake_build
mk run-folder
cmp -s "$t/saved.ini" "$t/run/zimro.ini" || fail "the next build changed the calculator file"
[[ -x "$t/run/zimro" ]] || fail "the next build put no program in the run folder"

# A calculator file an older make run kept in the build folder: clean moves
# it to the run folder, beside the one there, instead of deleting it.
utf16 $'B1=\\1old\r\n' > "$t/build/release/bin/zimro.ini"
cp "$t/build/release/bin/zimro.ini" "$t/old.ini"
mk clean >/dev/null
cmp -s "$t/old.ini" "$t/run/zimro-build.ini" || fail "make clean lost the build folder's calculator file"
cmp -s "$t/saved.ini" "$t/run/zimro.ini" || fail "make clean replaced the run folder's calculator file"
rm "$t/run/zimro.ini" "$t/run/zimro-build.ini"
fake_build
cp "$t/old.ini" "$t/build/release/bin/zimro.ini"
mk run-folder
cmp -s "$t/old.ini" "$t/run/zimro.ini" || fail "make run did not take over the build folder's calculator file"
echo "PASS"
