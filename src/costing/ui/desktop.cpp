// Starts the calculator window as the program's main window.
#include "costing/ui/desktop.h"

#include "app/core/folders.h"
#include "costing/ui/laser_form.h"
#include "editor/ui/main_form.h"

#include <QApplication>
#include <QScreen>

namespace quentar::costing::ui {

int runDesktop(int argc, char **argv, const std::string &fileOrEmpty) {
    QApplication app(argc, argv);
    // Created now so that the first change of the materials or tiers can be written.
    const std::string dataFolder = app::Folders::ofThisProgram().dataFolder(true);
    TLaserForm form(QString::fromStdString(dataFolder));
    if (QScreen *screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    if (!fileOrEmpty.empty())
        form.loadDrawing(QString::fromStdString(fileOrEmpty),
                         [](editor::ui::TMainForm &window) { return window.ShowModal(); });
    return app.exec();
}

} // namespace quentar::costing::ui
