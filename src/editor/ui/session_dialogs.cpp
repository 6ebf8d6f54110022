// Qt's message boxes and file dialogs with the texts and filters of the drawing window.
#include "editor/ui/session_dialogs.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace quentar::editor::ui {

namespace {

QString text(const std::string &s) { return QString::fromStdString(s); }

// Boxes without a caption of their own carry the application's title, as they always have.
const QString kApplicationTitle = QStringLiteral("DXF Editor");

// A message box must not show the busy cursor of an operation that is still running.
class NormalCursor {
public:
    NormalCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~NormalCursor() { QApplication::restoreOverrideCursor(); }
    NormalCursor(const NormalCursor &) = delete;
    NormalCursor &operator=(const NormalCursor &) = delete;
};

std::optional<std::string> fileName(const QString &chosen) {
    if (chosen.isEmpty()) return std::nullopt;
    return QFile::encodeName(chosen).toStdString();
}

} // namespace

void showErrorBox(QWidget *parent, const std::string &t) {
    NormalCursor normal;
    QMessageBox::critical(parent, kApplicationTitle, text(t));
}

void showMessageBox(QWidget *parent, const std::string &t) {
    NormalCursor normal;
    QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, text(t),
                    QMessageBox::Ok, parent);
    box.exec();
}

void showInformationBox(QWidget *parent, const std::string &t, const std::string &caption) {
    NormalCursor normal;
    QMessageBox box(QMessageBox::Information, text(caption), text(t), QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("InformationBox"));
    box.exec();
}

document::SaveAnswer askToSaveBox(QWidget *parent, const std::string &t,
                                  const std::string &caption) {
    NormalCursor normal;
    QMessageBox box(QMessageBox::Question, text(caption), text(t),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.button(QMessageBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return document::SaveAnswer::Yes;
    case QMessageBox::No:
        return document::SaveAnswer::No;
    default:
        return document::SaveAnswer::Cancel;
    }
}

std::optional<std::string> chooseDxfToOpen(QWidget *parent) {
    QFileDialog dialog(parent, QStringLiteral("Öffnen"), QString(),
                       QStringLiteral("DXF-Dateien (*.dxf)"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QStringLiteral("dxf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fileName(dialog.selectedFiles().front());
}

std::optional<std::string> chooseDxfToSave(QWidget *parent) {
    QFileDialog dialog(parent, QStringLiteral("Speichern unter"), QString(),
                       QStringLiteral("DXF Dateien (*.dxf)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile); // the folder must exist
    dialog.setDefaultSuffix(QStringLiteral("dxf"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return fileName(dialog.selectedFiles().front());
}

} // namespace quentar::editor::ui
