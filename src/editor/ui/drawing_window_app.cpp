// Starting the drawing window without the calculator.
#include "editor/ui/drawing_window_app.h"

#include "editor/ui/main_form.h"

#include <QApplication>
#include <QFile>

#include <memory>

namespace quentar::editor::ui {

int runDrawingWindow(int &argc, char **argv, const std::string &file) {
    std::unique_ptr<QApplication> own;
    if (!QApplication::instance()) own = std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quentar"));
    QApplication::setApplicationDisplayName(QStringLiteral("DXF Editor"));
    TMainForm form;
    if (!file.empty()) form.openfilewithname(QFile::decodeName(QByteArray::fromStdString(file)));
    form.show();
    return QApplication::exec();
}

} // namespace quentar::editor::ui
