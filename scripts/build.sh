#!/usr/bin/env bash
# build.sh release|asan|fuzz : configures (once) and builds one build tree under build/.
set -euo pipefail
kind=${1:-release}
top=$(cd "$(dirname "$0")/.." && pwd)
dir="$top/build/$kind"
jobs=${QP_JOBS:-$(nproc)}
case "$kind" in
    release) opts=(-DCMAKE_BUILD_TYPE=Release -DQP_BUILD_TESTS=OFF) ;;
    asan) opts=(-DCMAKE_BUILD_TYPE=Debug -DQP_SANITIZE=ON -DQP_BUILD_BENCH=OFF) ;;
    fuzz) opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
                -DQP_BUILD_FUZZ=ON -DQP_BUILD_TESTS=OFF -DQP_BUILD_BENCH=OFF) ;;
    *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$top" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
fi
cmake --build "$dir" -j "$jobs" "${@:2}"
