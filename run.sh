#!/usr/bin/env bash
# Builds the program and starts it on the bundled cards.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
borvessa_install_deps

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc 2>/dev/null || echo 2)"

if [ -x build/bin/borvessa ]; then
    exec build/bin/borvessa "$@"
fi
echo "The card window is not built yet; checking the bundled cards instead."
build/bin/borvessa-card check build/bin/*.qcf && echo "All bundled cards load."
