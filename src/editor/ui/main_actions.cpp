// Menus "Datei" and "Ansicht" and the two tool bars of the drawing window.
#include "editor/ui/main_actions.h"

#include "editor/ui/artwork.h"

#include <QMenuBar>

namespace quentar::editor::ui {

namespace {

QAction *action(QMainWindow &w, const QString &text, const char *name, Artwork icon,
                const QKeySequence &key = {}) {
    auto *a = new QAction(iconFor(icon), text, &w);
    a->setObjectName(QString::fromLatin1(name));
    a->setShortcut(key);
    return a;
}

QAction *checkItem(QMainWindow &w, const QString &text, const char *name, Artwork icon,
                   bool checked) {
    QAction *a = action(w, text, name, icon);
    a->setCheckable(true);
    a->setChecked(checked);
    return a;
}

} // namespace

void MainActions::build(QMainWindow &w) {
    newDrawing = action(w, QStringLiteral("Neue DXF Datei "), "NeueDXFDatei1", Artwork::NewDrawing,
                        QKeySequence::New);
    newDrawingR12 = action(w, QStringLiteral("Neue DXF Datei (R12 ohne Spline/ohne Ellipse usw.)"),
                           "NeueDXFDateiR12ohneSplineohneEllipseusw1", Artwork::NewDrawingR12);
    open = action(w, QStringLiteral("Öffnen..."), "ffnen1", Artwork::Open, QKeySequence::Open);
    save = action(w, QStringLiteral("Speichern"), "Speichern1", Artwork::Save, QKeySequence::Save);
    saveAs = action(w, QStringLiteral("Speichern unter..."), "Speichernunter1", Artwork::SaveAs,
                    QKeySequence::SaveAs);
    quit = new QAction(QStringLiteral("Beenden"), &w);
    quit->setObjectName(QStringLiteral("Beenden1"));
    print =
        action(w, QStringLiteral("Drucken..."), "Drucken1", Artwork::Print, QKeySequence::Print);
    print->setToolTip(QStringLiteral("Drucken/Seite einrichten"));
    pageSetup = new QAction(QStringLiteral("Seite einrichten..."), &w);
    pageSetup->setObjectName(QStringLiteral("Seiteeinrichten1"));
    printerSetup = new QAction(QStringLiteral("Drucker einrichten..."), &w);
    printerSetup->setObjectName(QStringLiteral("Druckereinrichten1"));
    printPreview = checkItem(w, QStringLiteral("Druckvorschau"), "Druckvorschau1",
                             Artwork::PrintPreview, false);
    printPreview->setToolTip(QStringLiteral("Druckvorschau  an/aus"));
    printPreviewToggle = new QAction(QStringLiteral("Druckvorschau  an/aus"), &w);
    printPreviewToggle->setObjectName(QStringLiteral("Druckvorschauanaus1"));
    QObject::connect(printPreviewToggle, &QAction::triggered, printPreview, &QAction::toggle);

    showAll = action(w, QStringLiteral("Alles zeigen"), "Alleszeigen1", Artwork::ShowAll,
                     QKeySequence(Qt::CTRL | Qt::Key_0));
    showAll->setToolTip(QStringLiteral("Zeige alles"));
    zoomIn =
        action(w, QStringLiteral("Vergrößern"), "ZoomInBtn", Artwork::ZoomIn, QKeySequence::ZoomIn);
    zoomOut = action(w, QStringLiteral("Verkleinern"), "ZoomOutBtn", Artwork::ZoomOut,
                     QKeySequence::ZoomOut);
    zoomTool =
        checkItem(w, QStringLiteral("Vergrößern/Verkleinern"), "ZoomBtn", Artwork::ZoomTool, false);
    handTool = checkItem(w, QStringLiteral("Verschieben"), "HandBtn", Artwork::Hand, false);
    lineWeights = checkItem(w, QStringLiteral("Linienbreite zeigen"), "Linienbreitezeigen1",
                            Artwork::LineWeights, true);

    german = new QAction(QStringLiteral("Deutsch"), &w);
    german->setObjectName(QStringLiteral("Deutsch1"));
    english = new QAction(QStringLiteral("English"), &w);
    english->setObjectName(QStringLiteral("English1"));
    auto *languages = new QActionGroup(&w);
    for (QAction *a : {german, english}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    german->setChecked(true);

    QMenu *file = w.menuBar()->addMenu(QStringLiteral("&Datei"));
    file->addActions({newDrawing, newDrawingR12, open, save, saveAs});
    file->addSeparator();
    file->addActions({print, pageSetup, printerSetup, printPreviewToggle});
    file->addSeparator();
    file->addAction(quit);
    viewMenu = w.menuBar()->addMenu(QStringLiteral("&Ansicht"));
    viewMenu->addActions({showAll, zoomIn, zoomOut, zoomTool, handTool});
    viewMenu->addSeparator();
    viewMenu->addActions({printPreview, lineWeights});
    QMenu *language = w.menuBar()->addMenu(QStringLiteral("&Sprache"));
    language->addActions({german, english});

    fileBar = w.addToolBar(QStringLiteral("Datei"));
    fileBar->setObjectName(QStringLiteral("FileToolBar"));
    fileBar->addActions({newDrawing, newDrawingR12, open, save, saveAs});
    fileBar->addSeparator();
    fileBar->addActions({print, printPreview});
    viewBar = w.addToolBar(QStringLiteral("Ansicht"));
    viewBar->setObjectName(QStringLiteral("ViewToolBar"));
    viewBar->addActions({showAll, zoomIn, zoomOut, zoomTool, handTool});
    viewBar->addSeparator();
    viewBar->addAction(lineWeights);
    for (QToolBar *bar : {fileBar, viewBar}) {
        bar->setIconSize(QSize(24, 24));
        bar->setMovable(false);
    }
}

} // namespace quentar::editor::ui
