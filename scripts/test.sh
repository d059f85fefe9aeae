#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless: once as built,
# once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh || exit 1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
jobs="$(nproc)"
status=0
# House rules first: includes within the libraries' links, and the code as clang-format leaves it.
python3 scripts/check-includes.py . || exit 1
mapfile -t sources < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench reportf -name '*.cpp' -o -name '*.h')
clang-format --dry-run --Werror "${sources[@]}" || { echo "clang-format would change the files above"; exit 1; }
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELM_BENCH=ON -DZELM_WERROR=ON > /dev/null || exit 1
cmake --build build -j"$jobs" || exit 1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZELM_SANITIZE=ON -DZELM_BENCH=OFF -DZELM_WERROR=ON > /dev/null || exit 1
cmake --build build-asan -j"$jobs" || exit 1
echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
(cd build-asan && ctest --output-on-failure -j"$jobs" --timeout 600) || status=1
echo "== Tests that skip as root, as an unprivileged user =="
bash scripts/test-unprivileged.sh build backup_tests store_tests || status=1
echo "== Tests =="
(cd build && ctest --output-on-failure -j"$jobs" --timeout 600) || status=1
exit $status
