#!/usr/bin/env bash
# build.sh release|asan|tsan|fuzz [cmake --build options] : configures and builds one build tree under
# build/. It configures again whenever the options below change, and compiles through ccache
# when it is there, so a fresh clone on the same machine rebuilds from the cache.
set -euo pipefail
kind=${1:-release}
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build/$kind"
jobs=${QP_JOBS:-$(nproc)}
case "$kind" in
    release) opts=(-DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=OFF) ;;
    asan) opts=(-DCMAKE_BUILD_TYPE=Debug -DQP_SANITIZE=ON -DQP_BUILD_BENCH=OFF) ;;
    # Optimised, as the threads must race at full speed to show their faults; CI builds only
    # the test programs of the background loading (--target test_hostdb test_run_ui).
    tsan) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQP_TSAN=ON -DQP_BUILD_BENCH=OFF) ;;
    fuzz) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                -DQP_BUILD_FUZZ=ON -DQP_BUILD_TESTS=OFF -DQP_BUILD_BENCH=OFF) ;;
    *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
if command -v ccache >/dev/null; then
    opts+=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths inside the checkout count as relative, so another clone hits the same cache entries.
    export CCACHE_BASEDIR="$top"
    export CCACHE_NOHASHDIR=1
fi
stamp="$dir/.qp-configure-options"
if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "${opts[*]}" ]; then
    rm -f "$dir/CMakeCache.txt"
    cmake -S "$top" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
    echo "${opts[*]}" >"$stamp"
fi
cmake --build "$dir" -j "$jobs" "${@:2}"
