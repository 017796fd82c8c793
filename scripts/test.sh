#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test on Qt's offscreen
# platform: once in ./build, then once more in ./build-asan under
# AddressSanitizer and UndefinedBehaviorSanitizer (benchmarks left out there).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
jobs="$(nproc)"
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Leaks are checked too, but for fontconfig's caches (scripts/lsan.supp). The
# tools that generate the program folder's files run under the sanitizers as
# well, during the build.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# No optimisation and line tables only: the second build compiles in about
# half the time, and the tests run fast enough either way.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O0 -g1" \
  -DCORVESSA_SANITIZE=ON -DCORVESSA_BUILD_BENCHMARKS=OFF "${launcher[@]}"
cmake --build build-asan -j "$jobs"
(cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")
