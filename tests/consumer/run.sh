#!/bin/sh
# Installs the build into a scratch prefix and builds the host programs against it, once through
# the CMake package and once through pkg-config; nothing comes from the build tree. Then runs them
# (the read-in host needs the display this test runs under).
set -eu
build=$1 source=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d "${TMPDIR:-/tmp}/codewerk-consumer-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
for file in applications/de.codewerk.Codewerk.desktop icons/hicolor/scalable/apps/de.codewerk.Codewerk.svg \
    metainfo/de.codewerk.Codewerk.metainfo.xml; do
  [ -f "$scratch/prefix/share/$file" ] || { echo "not installed: $file"; exit 1; }
done
# Only the three libraries: the family's code is inside them.
[ "$(ls "$scratch/prefix/lib" | grep -c '^lib.*\.so$')" = 3 ] || { ls "$scratch/prefix/lib"; exit 1; }

# Each header on its own, as a host may include any one first.
flags="-std=c++20 -fsyntax-only -I$scratch/prefix/include -I$scratch/prefix/include/codewerk $(wx-config --cxxflags)"
(cd "$scratch/prefix/include" && find codewerk -name '*.h') | xargs -P "$(nproc)" -I{} sh -c \
  "echo '#include <{}>' | g++ $flags -x c++ - || { echo 'not on its own: {}'; exit 255; }"

cmake -S "$source" -B "$scratch/cmake" -G Ninja -DCMAKE_PREFIX_PATH="$scratch/prefix" >/dev/null
cmake --build "$scratch/cmake" >/dev/null

export PKG_CONFIG_PATH="$scratch/prefix/lib/pkgconfig"
mkdir -p "$scratch/pc"
g++ -std=c++20 "$source/host_core.cpp" -o "$scratch/pc/host_core" $(pkg-config --cflags --libs codewerk-core) \
  -Wl,-rpath,"$scratch/prefix/lib"
g++ -std=c++20 "$source/host_read_in.cpp" -o "$scratch/pc/host_read_in" $(pkg-config --cflags --libs codewerk) \
  -Wl,-rpath,"$scratch/prefix/lib"

export XDG_CONFIG_HOME="$scratch/config"
for way in cmake pc; do
  "$scratch/$way/host_core" "$scratch/$way.png"
  out=$(timeout 30 "$scratch/$way/host_read_in")
  expected=$(printf 'declined: Lieferschein 4711\ntaken: Lieferschein 4711 (0 bitmaps)')
  [ "$out" = "$expected" ] || { echo "$way host read: '$out'"; exit 1; }
done
# The installed program makes a code itself and hands reading it to codewerk-main.
"$scratch/prefix/bin/codewerk" encode "Lieferschein 4711" -o "$scratch/code.png" >/dev/null
[ "$("$scratch/prefix/bin/codewerk" decode "$scratch/code.png")" = "QRCode: Lieferschein 4711" ] ||
  { echo "the installed program did not read its own code"; exit 1; }
# The README's example is this host's own code.
sed -n '/^```cpp$/,/^```$/p' "$source/../../README.md" | grep -v '^```\|^#include\|^$' | sed 's/^ *//' > "$scratch/readme"
sed 's/^ *//' "$source/host_read_in.cpp" > "$scratch/host"
[ "$(wc -l < "$scratch/readme")" -ge 8 ] || { echo "no example found in the README"; exit 1; }
while IFS= read -r line; do grep -qxF -- "$line" "$scratch/host" || { echo "README line not in the host: $line"; exit 1; }; done < "$scratch/readme"
echo "hosts built both ways and ran"
