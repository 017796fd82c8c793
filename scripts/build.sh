#!/usr/bin/env bash
# Configures and builds into ./build (program, its program-folder files, tests, benchmarks).
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j "$(nproc)"
