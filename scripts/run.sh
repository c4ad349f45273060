#!/usr/bin/env bash
# Builds the engine, installs it into ./install and runs a client of the
# installed package that prints the libraries' version banners.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

jobs=$(nproc)
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j "$jobs"
cmake --install build/release --prefix "$PWD/install"

cmake -S examples/version_banner -B build/version_banner -DCMAKE_PREFIX_PATH="$PWD/install"
cmake --build build/version_banner
build/version_banner/version_banner
