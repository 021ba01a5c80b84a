#pragma once

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QStringList>
#include <QTest>
#include <QTimer>
#include <deque>
#include <functional>

namespace kolvane::test {

// Answers the real modal dialogs of the program's own window layer, as an operator would,
// while the command that opened them waits in the dialog's event loop. Each dialog that
// comes up takes the next answer; one that nobody expected is noted and cancelled, so a
// suite never waits for a person.
class DialogAnswerer : public QObject {
public:
    DialogAnswerer()
    {
        m_poll.setInterval(20);
        connect(&m_poll, &QTimer::timeout, this, &DialogAnswerer::look);
        m_poll.start();
    }

    void answer(std::function<void(QDialog*)> handler) { m_answers.push_back(std::move(handler)); }
    // The next dialog is a file dialog: the path is typed into its name field and Enter pressed.
    void answerFile(const QString& path)
    {
        answer([this, path](QDialog* d) {
            auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) {
                unexpected << d->windowTitle() + QStringLiteral(" (not a file dialog)");
                d->reject();
                return;
            }
            // Typed as an operator types it, so the dialog's list of completions opens too.
            name->setFocus();
            name->clear();
            QTest::keyClicks(name, path);
            QTest::keyClick(name, Qt::Key_Return);
        });
    }
    bool allAnswered() const { return m_answers.empty(); }

    QStringList seen;        // the titles of the dialogs that came up, in order
    QStringList unexpected;  // those that nobody expected

private:
    void look()
    {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || dialog == m_current || !dialog->isVisible())
            return;
        // An operator answers a dialog once it is on screen and has the keyboard; on a
        // display server that takes a round trip or two, and answering sooner would leave
        // the keyboard where it was, hiding what closing a dialog does to it.
        if (!dialog->isActiveWindow() && ++m_waited < 250)
            return;
        m_waited = 0;
        m_current = dialog;
        seen << dialog->windowTitle();
        if (m_answers.empty()) {
            unexpected << dialog->windowTitle();
            dialog->reject();
            return;
        }
        auto handler = std::move(m_answers.front());
        m_answers.pop_front();
        handler(dialog);
    }

    QTimer m_poll;
    QPointer<QDialog> m_current;
    int m_waited = 0;
    std::deque<std::function<void(QDialog*)>> m_answers;
};

}  // namespace kolvane::test
