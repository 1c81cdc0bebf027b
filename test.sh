#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the normal build, then the
# unit tests again under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# simulation's threading under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
(cd build && ctest --output-on-failure -j "$jobs")

# Unit tests of the core layers under ASan + UBSan (no Qt in this tree).
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DV7300_SANITIZE=ON -DV7300_BUILD_UI=OFF \
  -DV7300_BUILD_BENCH=OFF >/dev/null
cmake --build build-asan -j "$jobs"
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j "$jobs")

# The simulation's threads under ThreadSanitizer.
if [ -f tests/simulation/CMakeLists.txt ] || ls tests/simulation/*.cpp >/dev/null 2>&1; then
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DV7300_TSAN=ON -DV7300_BUILD_UI=OFF \
    -DV7300_BUILD_BENCH=OFF >/dev/null
  cmake --build build-tsan -j "$jobs" --target simulation_tests
  (cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -R '^simulation_tests$')
fi
