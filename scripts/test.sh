#!/usr/bin/env bash
# Sets the machine up if needed, builds everything and runs the whole test suite.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quentar_install_packages
quentar_build
ctest --test-dir "$QUENTAR_BUILD" --output-on-failure -j 2
