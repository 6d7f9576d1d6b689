#!/bin/sh
# Plants each fault of this folder, one at a time, into a scratch clone of the repository, builds
# it and runs the tests (stopping at the first failure). Reports each fault as caught, SURVIVED,
# "does not apply" (the code it changes has moved: rewrite the patch) or "does not build".
# A patch's first line may name the tests likely to catch it ("tests: REGEX", a ctest -R
# expression); those run first, and the whole suite only when they all pass.
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
build=$scratch/src/build # inside the clone, so a compiler cache sees the same relative paths as in ours
cmake -S "$scratch/src" -B "$build" -G Ninja -DCODEWERK_BENCH=OFF >/dev/null || exit 2
cmake --build "$build" >/dev/null || { echo "the unchanged code does not build"; exit 2; }

# run_tests LOG [REGEX]: succeeds when every selected test passes
run_tests() {
  (cd "$build" && xvfb-run -a -s "-screen 0 1280x800x24" \
    ctest --stop-on-failure --output-on-failure -j2 --timeout 400 ${2:+-R "$2"} >"$1" 2>&1)
}

# A test that fails without any planted fault would count every fault as caught.
run_tests "$scratch/unchanged.test.log" || { echo "the unchanged code fails its tests (see $scratch/unchanged.test.log)"; exit 2; }
survived=0
for patch in "$@"; do
  name=$(basename "$patch" .patch)
  if ! git -C "$scratch/src" apply --check "$patch" 2>/dev/null; then
    echo "$name: does not apply"
    continue
  fi
  git -C "$scratch/src" apply "$patch"
  hint=$(sed -n '1s/^tests: //p' "$patch")
  log="$scratch/$name.test.log"
  if ! cmake --build "$build" >"$scratch/$name.build.log" 2>&1; then
    echo "$name: does not build (see $scratch/$name.build.log)"
  elif { [ -n "$hint" ] && [ -z "${MUTANT_TESTS:-}" ] && ! run_tests "$log" "$hint"; } ||
       ! run_tests "$log" "${MUTANT_TESTS:-}"; then
    how=$(grep -q '\*\*\*Timeout' "$log" && echo ' (timed out: look whether it hangs or was caught)')
    echo "$name: caught by $(sed -n '/The following tests FAILED/{n;s/^[[:space:]]*[0-9]* - //;s/[[:space:]].*//;p;q}' "$log")$how"
  else
    echo "$name: SURVIVED"
    survived=$((survived + 1))
  fi
  git -C "$scratch/src" checkout -q -- .
done
[ "$survived" -eq 0 ]
