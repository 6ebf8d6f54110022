#!/usr/bin/env bash
# Sets the machine up if needed, builds the program and runs it with the given arguments.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

quentar_install_packages >&2
# Only the program: running it should not wait for the test suite to compile.
quentar_build quentar >&2
exec "$QUENTAR_BUILD/quentar" "$@"
