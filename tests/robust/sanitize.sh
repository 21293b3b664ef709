#!/usr/bin/env bash
# Builds the calculation tests and the window tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build directory of their own and runs them.
# Any report fails the run: ASan and UBSan stop at the first error, and
# LeakSanitizer reports every leak except the narrowly suppressed ones of the
# system libraries (lsan.supp).
#
#   sanitize.sh SOURCE_DIR BUILD_DIR TARGET...
#
# The flags are given on the command line of this one configuration, so the
# project's CMake files stay free of global flags.
set -euo pipefail
source_dir=${1:?source dir}
build_dir=${2:?build dir}
shift 2
[ $# -gt 0 ] || { echo "sanitize: no targets" >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1:check_initialization_order=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$here/lsan.supp:print_suppressions=0

# -O1 with line tables: what the sanitizers are meant for, and quick to compile.
flags="-O1 -g1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
generator=()
[ -f "$build_dir/CMakeCache.txt" ] || generator=(-G Ninja)
cmake -S "$source_dir" -B "$build_dir" "${generator[@]}" \
  -DCMAKE_BUILD_TYPE= \
  -DCMAKE_CXX_FLAGS="$flags" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DHYDRANT_BUILD_BENCH=OFF >/dev/null
echo "sanitize: building $*"
cmake --build "$build_dir" --parallel "$(nproc)" --target "$@" >"$build_dir/sanitize-build.log" 2>&1 ||
  { tail -n 40 "$build_dir/sanitize-build.log" >&2; exit 1; }

# The calculation and the window on the offscreen platform; tests of the real
# program on an X server, installation, leak runs, fuzzing and this very test
# are elsewhere.
cd "$build_dir"
ctest --output-on-failure --timeout 300 -j "$(nproc)" -L 'unit|gui' -LE 'xvfb|desktop|leak|slow|fuzz|sanitize'
