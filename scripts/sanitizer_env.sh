# The sanitizers' settings for a run of a build with -DWITH_ASAN=ON; sourced by scripts/test.sh,
# scripts/mutants.sh and fuzz/run.sh, so that all of them see (and suppress) the same.
#
# strict_string_checks stays off: it flags strndup calls with a bound, which are legal, inside
# the X keyboard library that Qt loads. fast_unwind_on_malloc=0: the leak suppressions name
# third-party functions, which only a full unwind of an allocation's stack reaches.
zq8_sanitizers=$(cd "$(dirname "${BASH_SOURCE[0]}")/../tests/sanitizers" && pwd)
export ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS="suppressions=$zq8_sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="suppressions=$zq8_sanitizers/ubsan.supp:print_stacktrace=1:halt_on_error=1"
