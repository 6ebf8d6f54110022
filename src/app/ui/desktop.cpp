// Start-up of the desktop program.
#include "app/ui/desktop.h"

#include "app/core/translation_storage.h"
#include "editor/ui/artwork.h"

#include <QApplication>
#include <QFile>
#include <QScreen>

namespace quentar::app::ui {

Desktop::Desktop(Folders folders)
    : folders_(std::move(folders)), translator_(translationStorage(folders_)),
      options_(folders_) {
    // The data folder is created now so that the first change of the materials or tiers can be
    // written; reading from a folder that is not there simply finds no files.
    calculator_ = std::make_unique<costing::ui::TLaserForm>(
        QFile::decodeName(QByteArray::fromStdString(folders_.dataFolder(true))));
    editor::ui::MainFormOptions options;
    options.dataFolder = QFile::decodeName(QByteArray::fromStdString(folders_.programFolder()));
    options.translator = &translator_;
    options.optionsFile = &options_;
    drawingWindow_ = std::make_unique<editor::ui::TMainForm>(std::move(options));
    calculator_->setDrawingWindow(drawingWindow_.get());
}

Desktop::~Desktop() {
    // The calculator keeps a pointer to the drawing window: it goes first.
    calculator_.reset();
    drawingWindow_.reset();
}

void Desktop::start(const QString &fileOrEmpty) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        calculator_->move(screen->availableGeometry().center() - calculator_->rect().center());
    calculator_->show();
    if (!fileOrEmpty.isEmpty())
        calculator_->loadDrawing(fileOrEmpty,
                                 [](editor::ui::TMainForm &window) { return window.ShowModal(); });
}

int runDesktop(int argc, char **argv, const std::string &fileOrEmpty) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quentar"));
    QApplication::setOrganizationName(QStringLiteral("Morvane"));
    QApplication::setWindowIcon(editor::ui::iconFor(editor::ui::Artwork::Application));
    Desktop desktop(Folders::ofThisProgram());
    desktop.start(QFile::decodeName(QByteArray::fromStdString(fileOrEmpty)));
    return QApplication::exec();
}

} // namespace quentar::app::ui
