// The desktop program: its windows, created once at start in a fixed order.
#pragma once

#include "document/folders.h"
#include "i18n/options.h"
#include "app/ui/drawing_window_source.h"
#include "costing/ui/laser_form.h"
#include "editor/ui/main_form.h"
#include "i18n/translator.h"

#include <QStringList>

#include <memory>
#include <string>

namespace quentar::app::ui {

using document::Folders;
using i18n::OptionsFile;

// Owns the windows for the whole program run. The calculator comes first and is complete before
// the drawing window exists (nothing in its creation may use it); the drawing window loads the
// translation table and the language, and the calculator shows it modally for every drawing.
class Desktop {
public:
    explicit Desktop(Folders folders);
    ~Desktop();

    costing::ui::TLaserForm &calculator() { return *calculator_; }
    editor::ui::TMainForm &drawingWindow() { return *drawingWindow_; }
    i18n::Translator &translator() { return translator_; }

    // Shows the calculator (its stored settings are restored then), then once the warnings of
    // startWarnings in one message box, and, with a file, loads that drawing into the drawing
    // window as "DXF Datei laden..." would.
    void start(const QString &fileOrEmpty = {});

    // What the user must hear of at start, one paragraph each: the program's own files that are
    // there but not understood (which file, what is used instead, that it is kept as it is), and
    // stored settings of the calculator that were refused. Empty when all is well.
    QStringList startWarnings() const;

private:
    Folders folders_;
    i18n::Translator translator_;
    OptionsFile options_;
    std::unique_ptr<costing::ui::TLaserForm> calculator_;
    std::unique_ptr<editor::ui::TMainForm> drawingWindow_;
    std::unique_ptr<DrawingWindowSource> source_; // the drawing window as the calculator sees it
};

// Runs the program until the calculator window closes; with a file, loads that drawing first.
int runDesktop(int argc, char **argv, const std::string &fileOrEmpty);

} // namespace quentar::app::ui
