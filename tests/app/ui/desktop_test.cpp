// Start-up of the desktop program: window order, the interface language and options.dat.
#include "app/ui/desktop.h"

#include "../../support/modal_answers.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace quentar::app::ui {
namespace {

using quentar::testing::ModalAnswers;

// A program folder holding a copy of the shipped files, and an empty data folder.
struct Folders2 {
    QTemporaryDir program, data;
    Folders2() {
        for (const char *name : {"translate.dat", "template0.dat", "template1.dat"}) {
            const QString to = program.filePath(QString::fromLatin1(name));
            EXPECT_TRUE(QFile::copy(QStringLiteral(QUENTAR_DATA_DIR "/") + name, to));
            QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        }
    }
    Folders folders() const {
        return Folders(program.path().toStdString() + "/", data.path().toStdString() + "/");
    }
    QString optionsFile() const { return program.filePath(QStringLiteral("options.dat")); }
    void putOptions(const std::string &bytes) const {
        QFile f(optionsFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    QByteArray options() const {
        QFile f(optionsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
};

QAction *item(Desktop &d, const char *name) {
    return d.drawingWindow().findChild<QAction *>(QString::fromLatin1(name));
}

TEST(Desktop, CreatesTheCalculatorFirstAndHandsItTheDrawingWindow) {
    Folders2 f;
    Desktop d(f.folders());
    EXPECT_EQ(d.calculator().drawingWindow(), &d.drawingWindow());
    EXPECT_EQ(d.calculator().windowTitle(), QStringLiteral("Morvane Quentar 1.0"));
    EXPECT_EQ(d.drawingWindow().windowTitle().left(10), QStringLiteral("DXF Editor"));
    EXPECT_FALSE(d.drawingWindow().isVisible());
}

TEST(Desktop, StartsInTheLanguageOfOptionsDat) {
    struct Case {
        std::string bytes;
        int language;
        bool germanChecked, englishChecked;
        const char *message5;
    };
    const Case cases[] = {
        {"", 0, true, false, "Speichern"},                          // no file
        {std::string("\x01\0\0\0", 4), 1, false, true, "Save"},     // English
        {std::string("\x03\0\0\0", 4), 3, true, false, "Speichern"}, // no menu item, no column
        {std::string("\x1b\0\0\0", 4), 0, true, false, "Speichern"}, // hand-edited: German
        {std::string("\x01\0", 2), 0, true, false, "Speichern"},     // cut short
    };
    for (const Case &c : cases) {
        Folders2 f;
        if (!c.bytes.empty()) f.putOptions(c.bytes);
        Desktop d(f.folders());
        SCOPED_TRACE(c.language);
        EXPECT_EQ(d.drawingWindow().language(), c.language);
        EXPECT_EQ(item(d, "Deutsch1")->isChecked(), c.germanChecked);
        EXPECT_EQ(item(d, "English1")->isChecked(), c.englishChecked);
        EXPECT_EQ(d.translator().MessageText(5), c.message5);
    }
}

TEST(Desktop, ChosenLanguageIsKeptWhenTheDrawingWindowCloses) {
    Folders2 f;
    {
        Desktop d(f.folders());
        QString shown;
        ModalAnswers answers;
        answers.then([&](QWidget *box) {
            if (auto *m = qobject_cast<QMessageBox *>(box)) shown = m->windowTitle() + "|" + m->text();
            box->close();
        });
        item(d, "English1")->trigger();
        EXPECT_TRUE(answers.allAnswered());
        // The new language speaks at once, the restart message included.
        EXPECT_EQ(shown.section('|', 0, 0).toStdString(), d.translator().MessageText(2));
        EXPECT_EQ(shown.section('|', 1).toStdString(), d.translator().MessageText(1));
        EXPECT_NE(d.translator().MessageText(1), "Bitte schließen Sie das Program und starten "
                                                 "Sie es neu.");
        EXPECT_EQ(d.drawingWindow().language(), 1);
        EXPECT_TRUE(item(d, "English1")->isChecked());
        EXPECT_FALSE(item(d, "Deutsch1")->isChecked());
        // Not at program exit: only a closing drawing window writes the file.
    }
    EXPECT_EQ(f.options(), QByteArray("<none>"));
    {
        Desktop d(f.folders());
        ModalAnswers answers;
        answers.then([](QWidget *box) { box->close(); });
        item(d, "English1")->trigger();
        QTimer::singleShot(50, &d.drawingWindow(), [&d] { d.drawingWindow().close(); });
        d.drawingWindow().ShowModal();
    }
    EXPECT_EQ(f.options(), QByteArray("\x01\0\0\0", 4));
    Desktop again(f.folders());
    EXPECT_TRUE(item(again, "English1")->isChecked());
    EXPECT_EQ(again.translator().MessageText(5), "Save");
}

} // namespace
} // namespace quentar::app::ui
