// The hourglass over the whole program while the calculator works through something long.
#pragma once

#include <QApplication>

namespace quentar::costing::ui {

// Scoped, so that an early return or a message box shown after it cannot leave the wait cursor
// behind; a dialog must not be opened while one is alive.
class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

} // namespace quentar::costing::ui
