// Runs the calculator window tests inside one QApplication with a private settings store.
#include "app/ui/drawing_window_source.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv) {
    // The window reads and writes the per-user store; the tests must not touch the real one.
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    setenv("HOME", config.path().toLocal8Bit().constData(), 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    // A calculator made without the program's drawing window makes one of its own.
    quentar::app::ui::installDrawingWindowFactory();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
