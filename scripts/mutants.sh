#!/usr/bin/env bash
# The mutation check: plants each fault of scripts/mutants.table, one at a time, in a scratch
# copy of the tree (build-mutants/src; the checkout itself is never edited), builds it
# incrementally, runs the whole suite, and prints whether a test caught it. A record marked
# "[sanitized]" is built and run with the address and undefined-behaviour sanitizers instead
# (build-mutants/build-asan), as scripts/test.sh runs them.
#
# Before any fault is planted, the unplanted suite runs on each build the chosen records need:
# when it is red, nothing could be said to be caught, and the script stops. A fault counts as
# caught only when a test fails for it other than by its timeout; a fault whose only failures are
# timeouts is said as "TIMEOUT" and fails the check, as a missed one does, since a slow machine
# fails the same way. The script fails when a fault is not caught, or when a record no longer
# matches the code it was written for. Not run by CI: it takes a while.
#
#   bash scripts/mutants.sh            # every fault
#   bash scripts/mutants.sh checksum   # only the faults whose name contains "checksum"
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
only=${1:-}
scratch=${ZQ8_MUTANTS_BUILD_DIR:-build-mutants}
source_copy=$scratch/src
jobs=$(nproc)
table=scripts/mutants.table
sanitized_marker="[sanitized] "

bash scripts/setup.sh >/dev/null

# The scratch copy: every file git knows of (tracked, or new and not ignored), as it stands in the
# checkout. Only a file whose bytes differ is copied, with a fresh time, so that the build there
# stays incremental and a file a killed run left planted is rebuilt once restored.
sync_copy() {
    git ls-files -z --cached --others --exclude-standard | python3 -c '
import os, shutil, sys
target = sys.argv[1]
wanted = {p for p in sys.stdin.read().split("\0") if p and os.path.isfile(p)}
for path in wanted:
    copy = os.path.join(target, path)
    if os.path.isfile(copy) and open(copy, "rb").read() == open(path, "rb").read():
        continue
    os.makedirs(os.path.dirname(copy) or ".", exist_ok=True)
    shutil.copyfile(path, copy)
    shutil.copymode(path, copy)
for root, _, files in os.walk(target):
    for name in files:
        copy = os.path.join(root, name)
        if os.path.relpath(copy, target) not in wanted:
            os.remove(copy)
' "$source_copy"
}

# The build directory of a kind of record ("plain" or "sanitized").
build_of() {
    if [ "$1" = sanitized ]; then echo "$scratch/build-asan"; else echo "$scratch/build"; fi
}

configure() {
    local kind=$1 options=(-DWITH_BENCHMARKS=OFF)
    [ "$kind" = sanitized ] && options+=(-DWITH_ASAN=ON)
    cmake -S "$source_copy" -B "$(build_of "$kind")" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "${options[@]}" >/dev/null
}

build() {
    cmake --build "$(build_of "$1")" -j"$jobs"
}

# Runs the suite of that kind's build, its output in the log named; more arguments go to ctest.
run_suite() {
    local kind=$1 log=$2
    shift 2
    (
        cd "$(build_of "$kind")"
        if [ "$kind" = sanitized ]; then
            source "$root/scripts/sanitizer_env.sh"
            ctest -j"$jobs" --timeout 600 "$@" >"$log" 2>&1
        else
            ctest -j"$jobs" --timeout 300 "$@" >"$log" 2>&1
        fi
    )
}

# The tests the log lists as failed, one "name (how)" a line.
failures_in() {
    sed -n '/^The following tests FAILED:/,$p' "$1" | sed -n 's/^[[:space:]]*[0-9]* - //p' |
        sed 's/  *# GetParam() = .*\( ([^()]*)\)$/\1/'
}

# The suite with a fault planted, up to its first failure: the quick tests of the layers first,
# then the end-to-end runs, which take most of the time and run one at a time.
run_planted() {
    local kind=$1 log=$2
    run_suite "$kind" "$log" --output-on-failure --stop-on-failure -E '^e2e[.]' &&
        run_suite "$kind" "$log" --output-on-failure --stop-on-failure -R '^e2e[.]'
}

# Those of them that failed other than by a timeout.
real_failures_in() {
    failures_in "$1" | grep -v ' (Timeout)$' || true
}

# Replaces the one occurrence of $2 in file $1 by $3 (in both, \n stands for a line end); fails
# when $2 does not stand exactly once.
plant() {
    python3 - "$1" "$2" "$3" <<'EOF'
import sys
path, old, new = sys.argv[1:4]
# Either text may span lines, written with \n.
old, new = old.replace("\\n", "\n"), new.replace("\\n", "\n")
text = open(path, encoding="utf-8").read()
count = text.count(old)
if count != 1:
    sys.exit(f"{path}: the text stands {count} times, not once: {old!r}")
open(path, "w", encoding="utf-8").write(text.replace(old, new))
EOF
}

# The records chosen, their fields in arrays of the same index.
names=() kinds=() files=() olds=() news=()
while IFS= read -r name && IFS= read -r file && IFS= read -r old && IFS= read -r new; do
    IFS= read -r _ || true
    kind=plain
    if [[ "$name" == "$sanitized_marker"* ]]; then
        kind=sanitized
        name=${name#"$sanitized_marker"}
    fi
    if [ -n "$only" ] && [[ "$name" != *"$only"* ]]; then
        continue
    fi
    names+=("$name") kinds+=("$kind") files+=("$file") olds+=("$old") news+=("$new")
done < <(grep -v '^;;' "$table")
if ((${#names[@]} == 0)); then
    echo "no fault of $table is named like \"$only\"" >&2
    exit 1
fi

mkdir -p "$source_copy"
sync_copy
planted=""
restore() {
    if [ -n "$planted" ]; then
        cp "$planted" "$source_copy/$planted"
        planted=""
    fi
}
trap restore EXIT

# The suite as it stands must be green on every build the records need.
needed=$(printf '%s\n' "${kinds[@]}" | sort -u)
for kind in $needed; do
    configure "$kind"
    build "$kind" >"$scratch/$kind-build.log" 2>&1 || {
        cat "$scratch/$kind-build.log" >&2
        echo "the $kind build fails before any fault is planted" >&2
        exit 1
    }
    echo "== the $kind suite, no fault planted"
    if ! run_suite "$kind" "$root/$scratch/$kind-unplanted.log" --output-on-failure; then
        failures_in "$scratch/$kind-unplanted.log" | sed 's/^/  /' >&2
        echo "the $kind suite is red with no fault planted: no fault can be said to be caught;" \
            "see $scratch/$kind-unplanted.log" >&2
        exit 1
    fi
done

caught=0 missed=0 timed_out=0 stale=0
results=()
for i in "${!names[@]}"; do
    name=${names[i]} kind=${kinds[i]} file=${files[i]}
    label=$name
    [ "$kind" = sanitized ] && label="$name [sanitized]"
    log="$root/$scratch/mutant-tests.log"
    planted=$file
    if ! plant "$source_copy/$file" "${olds[i]}" "${news[i]}"; then
        restore
        outcome="STALE   $label"
        stale=$((stale + 1))
    elif ! build "$kind" >"$scratch/mutant.log" 2>&1; then
        outcome="STALE   $label (does not build)"
        stale=$((stale + 1))
    elif run_planted "$kind" "$log"; then
        outcome="MISSED  $label"
        missed=$((missed + 1))
    else
        # Stopped at a timeout, the rest of the suite still has its say.
        if [ -z "$(real_failures_in "$log")" ]; then
            run_suite "$kind" "$log" --output-on-failure || true
        fi
        real=$(real_failures_in "$log" | head -n 1 | sed 's/ (.*//')
        if [ -n "$real" ]; then
            outcome="caught  $label  ($real)"
            caught=$((caught + 1))
        elif [ -n "$(failures_in "$log")" ]; then
            outcome="TIMEOUT $label  ($(failures_in "$log" | sed 's/ (.*//' | paste -sd, -))"
            timed_out=$((timed_out + 1))
        else
            outcome="STALE   $label (the suite did not run: see $log)"
            stale=$((stale + 1))
        fi
    fi
    restore
    results+=("$outcome")
    echo "$outcome"
done

# The builds go back to the code as it stands.
for kind in $needed; do
    build "$kind" >/dev/null
done

echo
echo "== $caught caught, $missed missed, $timed_out caught only by a timeout, $stale stale" \
    "of $((caught + missed + timed_out + stale)) planted faults"
printf '%s\n' "${results[@]}" | grep -v '^caught' || true
[ "$missed" = 0 ] && [ "$timed_out" = 0 ] && [ "$stale" = 0 ]
