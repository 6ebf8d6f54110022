// Start-up of the desktop program.
#include "app/ui/desktop.h"

#include "app/core/data_file_warnings.h"
#include "i18n/translation_storage.h"
#include "editor/ui/artwork.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QScreen>

#include <filesystem>

namespace quentar::app::ui {

Desktop::Desktop(Folders folders)
    : folders_(std::move(folders)), translator_(i18n::translationStorage(folders_)),
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
    source_ = std::make_unique<DrawingWindowSource>(*drawingWindow_);
    calculator_->setDrawingWindow(source_.get());
}

Desktop::~Desktop() {
    // The calculator keeps a pointer to the drawing window: it goes first.
    calculator_.reset();
    source_.reset();
    drawingWindow_.reset();
}

QStringList Desktop::startWarnings() const {
    QStringList warnings;
    const auto damaged = [&warnings](DataFile file, const std::string &path) {
        warnings << QString::fromStdString(damagedFileWarningGerman(file, path));
    };
    const costing::Calculator &calc = calculator_->calculator();
    if (calc.materialFileState() == costing::Catalogue::LoadResult::Corrupt)
        damaged(
            DataFile::Materials,
            (std::filesystem::path(calc.dataFolder()) / costing::Catalogue::kFileName).string());
    if (calc.tierFileState() == costing::TierList::LoadResult::Corrupt)
        damaged(DataFile::Tiers,
                (std::filesystem::path(calc.dataFolder()) / costing::TierList::kFileName).string());
    for (const costing::DamagedValue &v : calc.damagedValues())
        warnings << QString::fromStdString(v.german);
    if (translator_.fileDamaged())
        damaged(DataFile::Translations, folders_.dataFileForReading(i18n::kTranslateFileName));
    if (options_.fileNotUnderstood())
        damaged(DataFile::Options, folders_.dataFileForReading(i18n::kOptionsFileName));
    for (const costing::RefusedSetting &r : calculator_->refusedSettings())
        warnings << QStringLiteral("Die gespeicherte Einstellung %1 in %2: %3 %4. Es gilt der "
                                   "Startwert.")
                        .arg(QString::fromStdString(r.key), calculator_->settingsFile(),
                             QString::fromStdString(r.value),
                             QString::fromStdString(costing::refusalTextGerman(r.refusal)));
    return warnings;
}

void Desktop::start(const QString &fileOrEmpty) {
    if (QScreen *screen = QGuiApplication::primaryScreen())
        calculator_->move(screen->availableGeometry().center() - calculator_->rect().center());
    calculator_->show();
    if (const QStringList warnings = startWarnings(); !warnings.isEmpty())
        QMessageBox::warning(calculator_.get(), calculator_->windowTitle(),
                             warnings.join(QStringLiteral("\n\n")));
    if (!fileOrEmpty.isEmpty())
        calculator_->loadDrawing(fileOrEmpty,
                                 [](costing::ui::DrawingSource &window) { return window.showModal(); });
}

int runDesktop(int argc, char **argv, const std::string &fileOrEmpty) {
    QApplication app(argc, argv);
    installDrawingWindowFactory();
    QApplication::setApplicationName(QStringLiteral("Quentar"));
    QApplication::setOrganizationName(QStringLiteral("Morvane"));
    QApplication::setWindowIcon(editor::ui::iconFor(editor::ui::Artwork::Application));
    Desktop desktop(Folders::ofThisProgram());
    desktop.start(QFile::decodeName(QByteArray::fromStdString(fileOrEmpty)));
    return QApplication::exec();
}

} // namespace quentar::app::ui
