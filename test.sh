#!/usr/bin/env bash
# Installs what is missing, builds from scratch and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
rm -rf build
scripts/setup.sh
cd build
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 600
