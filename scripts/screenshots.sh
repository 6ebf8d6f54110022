#!/usr/bin/env bash
# Pictures of the calculator's pages, of the drawing window with a sample part and of a drawing in
# progress with the drawing tools, taken on a virtual X server by the main-road test and the
# drawing-tools test: scripts/screenshots.sh [FOLDER] (default: screenshots/).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
quentar_install_packages
quentar_build quentar_app_ui_tests
quentar_build quentar_editor_ui_tests
out="$(realpath -m "${1:-$QUENTAR_ROOT/screenshots}")"
mkdir -p "$out"
xvfb-run -a -s "-screen 0 1600x1200x24" \
    env QT_QPA_PLATFORM=xcb QUENTAR_SCREENSHOTS="$out" \
    "$QUENTAR_BUILD/src/app/ui/quentar_app_ui_tests" --gtest_filter='MainRoad.*'
xvfb-run -a -s "-screen 0 1600x1200x24" \
    env QT_QPA_PLATFORM=xcb QUENTAR_SCREENSHOTS="$out" \
    "$QUENTAR_BUILD/src/editor/ui/quentar_editor_ui_tests" --gtest_filter='DrawingTools.*'
echo "screenshots in $out"
