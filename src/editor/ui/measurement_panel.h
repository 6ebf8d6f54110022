// The drawing window's view of the measurement: the marks over the drawing, the summary in the
// status bar, and the menu items that choose what is measured.
#pragma once

#include "editor/drawing_viewer.h"
#include "editor/measurement_view.h"

#include <QObject>
#include <QString>

class QAction;
class QLabel;
class QMainWindow;
class QMenu;

namespace quentar::editor::ui {

class MeasurementPanel : public QObject {
    Q_OBJECT
public:
    // Adds its items to `menu` ("Ansicht") and its line to the window's status bar; reads and
    // keeps its choices in the settings file `settingsFile` (empty: the user's).
    MeasurementPanel(QMainWindow &window, QMenu &menu, DrawingViewer &viewer,
                     const QString &settingsFile);

    // "Nur Schnittkonturen messen": dimensions, hatch boundaries, construction lines ... left
    // out of the length (the calculator measures with it too).
    bool cutContoursOnly() const;
    void setCutContoursOnly(bool on);
    // "Konturen anzeigen": the marks over the drawing.
    bool showContours() const;

    const MeasurementView &view() const { return view_; }
    QLabel *summaryLabel() const { return summary_; }
    QAction *cutOnlyAction() const { return cutOnly_; }
    QAction *showAction() const { return show_; }
    QAction *measureAction() const { return measure_; }

    // "Konturen messen" (F5): measures the shown tab now.
    void measureNow();

private:
    void drawingChanged();
    void showSummary();
    void store() const;

    DrawingViewer &viewer_;
    MeasurementView view_;
    QString settingsFile_;
    QAction *show_ = nullptr;
    QAction *cutOnly_ = nullptr;
    QAction *measure_ = nullptr;
    QLabel *summary_ = nullptr;
};

} // namespace quentar::editor::ui
