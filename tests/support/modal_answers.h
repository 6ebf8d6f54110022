// Answers modal windows the code under test opens (file dialogs, message boxes, the drawing
// window) the way a user would, from a timer running inside their event loop.
#pragma once

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <QString>
#include <QWidget>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

// Failures show texts, not UTF-16 code units.
inline void PrintTo(const QString &s, std::ostream *os) { *os << '"' << s.toStdString() << '"'; }

namespace quentar::testing {

// Each answer waits for the next modal window that is not the one answered before it and acts
// on it; a window left unanswered after `timeoutMs` counts as a failure.
class ModalAnswers {
public:
    using Answer = std::function<void(QWidget *modal)>;

    ModalAnswers() {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }
    void then(Answer a) { answers_.push_back(std::move(a)); }
    bool allAnswered() const { return answers_.empty(); }

private:
    void poll() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == last_ || answers_.empty() || !modal->isVisible()) return;
        last_ = modal;
        Answer a = std::move(answers_.front());
        answers_.pop_front();
        a(modal);
        // An answer that did not close its window fails the test rather than hanging it.
        QTimer::singleShot(10000, modal, [window = QPointer<QWidget>(modal)] {
            if (!window || !window->isVisible()) return;
            ADD_FAILURE() << "a modal window stayed open: "
                          << window->windowTitle().toStdString();
            window->close();
        });
    }

    QTimer timer_;
    std::deque<Answer> answers_;
    // Guarded: a dialog made on the stack may come back at the address of the one before it.
    QPointer<QWidget> last_;
};

} // namespace quentar::testing
