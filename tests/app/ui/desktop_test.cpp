// Start-up of the desktop program: window order, the interface language and options.dat.
#include "app/ui/desktop.h"

#include "../../support/modal_answers.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>

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
    auto *source = dynamic_cast<DrawingWindowSource *>(d.calculator().drawingWindow());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(&source->window(), &d.drawingWindow());
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

// Every file below `folder` with its bytes.
std::map<QString, QByteArray> filesIn(const QString &folder) {
    std::map<QString, QByteArray> all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        all[f.fileName()] = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unread>");
    }
    return all;
}

// The program's own files that are there but cannot be understood, and stored settings that make
// no sense: told once at start, in one message box, each naming its file, what is used instead
// and that the file is kept; and every file is as it was when the program ends.
TEST(Desktop, DamagedFilesAndRefusedSettingsAreToldOnceAtStart) {
    QSettings store(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                    QStringLiteral("Quentar"));
    const QString ini = store.fileName();
    struct Case {
        const char *name;
        std::function<void(Folders2 &)> setUp;
        QStringList told; // each a paragraph of the box, {program} and {data} the two folders
    };
    const auto put = [](const QString &path, const QByteArray &bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    };
    const Case cases[] = {
        {"all is well", [](Folders2 &) {}, {}},
        {"material.dat claims more than it holds",
         [&](Folders2 &f) { put(f.data.filePath("material.dat"), QByteArray("\x05\0\0\0", 4)); },
         {"Die Datei {data}/material.dat ist beschädigt. Es werden die vorgegebenen Materialien "
          "verwendet; die Datei bleibt unverändert, bis Sie die Materialien ändern."}},
        {"staffel.dat cut short and options.dat cut short",
         [&](Folders2 &f) {
             put(f.data.filePath("staffel.dat"), QByteArray("\x01\0\0\0\x02\0", 6));
             f.putOptions(std::string("\x01\0", 2));
         },
         {"Die Datei {data}/staffel.dat ist beschädigt. Es werden keine Staffelpreise verwendet; "
          "die Datei bleibt unverändert, bis Sie die Staffelpreise ändern.",
          "Die Datei {program}/options.dat ist beschädigt. Die Sprache ist Deutsch; die Datei "
          "bleibt unverändert, bis Sie eine andere Sprache wählen."}},
        {"staffel.dat with a discount of 150 %",
         [&](Folders2 &f) {
             put(f.data.filePath("staffel.dat"),
                 QByteArray("\x01\0\0\0\x02\0\0\0" "1\0" "0\0" "\x03\0\0\0" "1\0" "5\0" "0\0",
                            22));
         },
         {"{data}/staffel.dat, Staffel 1, Rabatt: 150 darf höchstens 100 sein; die Staffel wird "
          "nicht verwendet"}},
        {"translate.dat that is no table",
         [&](Folders2 &f) { put(f.program.filePath("translate.dat"), QByteArray("garbage")); },
         {"Die Datei {program}/translate.dat ist beschädigt. Die Meldungen erscheinen auf "
          "Deutsch; die Datei bleibt unverändert, bis Sie eine Übersetzung bearbeiten."}},
        {"a stored negative rate and a fraction of a hole",
         [&](Folders2 &) {
             QSettings s(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Morvane"),
                         QStringLiteral("Quentar"));
             s.setValue(QStringLiteral("TLaserForm/StundensatzEd_Value"), QStringLiteral("-5"));
             s.setValue(QStringLiteral("TLaserForm/AnzLochEd_Value"), QStringLiteral("2.5"));
         },
         {"Die gespeicherte Einstellung StundensatzEd_Value in {ini}: -5 muss mindestens 0 sein. "
          "Es gilt der Startwert.",
          "Die gespeicherte Einstellung AnzLochEd_Value in {ini}: 2.5 ist keine ganze Zahl. Es "
          "gilt der Startwert."}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Folders2 f;
        c.setUp(f);
        const auto program = filesIn(f.program.path()), data = filesIn(f.data.path());
        QStringList expected;
        for (QString t : c.told)
            expected << t.replace(QStringLiteral("{program}"), f.program.path())
                            .replace(QStringLiteral("{data}"), f.data.path())
                            .replace(QStringLiteral("{ini}"), ini);
        {
            Desktop d(f.folders());
            QStringList boxes;
            ModalAnswers answers;
            answers.then([&](QWidget *box) {
                if (auto *m = qobject_cast<QMessageBox *>(box)) boxes << m->text();
                box->close();
            });
            d.start();
            if (expected.isEmpty()) {
                EXPECT_TRUE(boxes.isEmpty()) << boxes.join("|").toStdString();
            } else {
                ASSERT_EQ(boxes.size(), 1);
                EXPECT_EQ(boxes[0], expected.join(QStringLiteral("\n\n")));
            }
            EXPECT_EQ(d.calculator().calculator().engine().StundensatzEd.text(), "250.00");
            d.calculator().close();
        }
        EXPECT_EQ(filesIn(f.program.path()), program);
        EXPECT_EQ(filesIn(f.data.path()), data);
        store.remove(QStringLiteral("TLaserForm"));
        store.sync();
    }
}

} // namespace
} // namespace quentar::app::ui
