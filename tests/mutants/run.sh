#!/bin/sh
# Plants each fault of this folder, one at a time, into a scratch clone of the repository, builds
# it and runs the tests (stopping at the first failure). Reports each fault as caught, SURVIVED,
# "does not apply" (the code it changes has moved: rewrite the patch) or "does not build".
# usage: tests/mutants/run.sh [PATCH...]        default: every *.patch here
#   MUTANT_SCRATCH  where the clone and its build live (default: build-mutants/)
#   MUTANT_TESTS    a ctest -R expression to run fewer tests
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
scratch=${MUTANT_SCRATCH:-$root/build-mutants}
[ $# -gt 0 ] || set -- "$here"/*.patch
rm -rf "$scratch/src" && mkdir -p "$scratch"
git clone -q "$root" "$scratch/src" || exit 2
cmake -S "$scratch/src" -B "$scratch/build" -G Ninja -DCODEWERK_BENCH=OFF >/dev/null || exit 2
cmake --build "$scratch/build" >/dev/null || { echo "the unchanged code does not build"; exit 2; }
survived=0
for patch in "$@"; do
  name=$(basename "$patch" .patch)
  if ! git -C "$scratch/src" apply --check "$patch" 2>/dev/null; then
    echo "$name: does not apply"
    continue
  fi
  git -C "$scratch/src" apply "$patch"
  if ! cmake --build "$scratch/build" >"$scratch/$name.build.log" 2>&1; then
    echo "$name: does not build (see $scratch/$name.build.log)"
  elif (cd "$scratch/build" && xvfb-run -a -s "-screen 0 1280x800x24" \
        ctest --stop-on-failure -j2 --timeout 400 ${MUTANT_TESTS:+-R "$MUTANT_TESTS"} >"$scratch/$name.test.log" 2>&1); then
    echo "$name: SURVIVED"
    survived=$((survived + 1))
  else
    echo "$name: caught by $(grep -m1 -o '[0-9]* - [^ ]*' "$scratch/$name.test.log" | sed 's/^[0-9]* - //')"
  fi
  git -C "$scratch/src" checkout -q -- .
done
[ "$survived" -eq 0 ]
