// After every command that replaces, adds, clears or arranges the participant windows,
// the operator has a participant window in front and active, and the keyboard: Ctrl+S
// brings the Save As dialog and File > Close closes the window in front. The suite runs
// the program's own window layer with its real dialogs, offscreen and, where a virtual X
// server is installed, on a bare X display and under a window manager, where activation
// depends on the display server (see tests/CMakeLists.txt).
#include "support/DialogAnswerer.h"
#include "support/NetFixtures.h"
#include "support/TestMain.h"

#include "app/Commands.h"
#include "net/AppInfo.h"
#include "ui/QtWindowLayer.h"
#include "ui/frmDocument.h"
#include "ui/frmMain.h"

#include <QDir>
#include <QMdiArea>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <memory>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// A net whose stations are active where `flags` holds a 1.
SessionData netWith(const QString& flags)
{
    SessionData s;
    s.header = weeklyNetHeader(QStringLiteral("Net of the week"));
    for (int i = 0; i < flags.size(); ++i)
        s.participants << ParticipantRecord{flags[i] == u'1', QStringLiteral("K%1ABC").arg(i), QStringLiteral("Al"),
                                            QStringLiteral("Boston")};
    return s;
}

QString repeated(const QString& flags, int count)
{
    QString out;
    while (out.size() < count)
        out += flags;
    return out.left(count);
}

// The participant window on top of the stack: the one the operator sees in front.
frmDocument* inFront(frmMain& main)
{
    const QList<QMdiSubWindow*> stack = main.mdiArea->subWindowList(QMdiArea::StackingOrder);
    for (auto it = stack.crbegin(); it != stack.crend(); ++it) {
        if (!(*it)->isHidden())
            return qobject_cast<frmDocument*>(*it);
    }
    return nullptr;
}

int openWindows(frmMain& main)
{
    return int(main.openParticipants().size());
}

}  // namespace

class TestActiveWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void saveAndCloseWorkAfterEveryCommand_data();
    void saveAndCloseWorkAfterEveryCommand();
    void aMessageBoxGivesTheKeyboardBack();

private:
    // Presses keys as the operator does, into the window that has the keyboard.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens a menu of the menu bar with its access key and picks an item by its access key.
    void menu(Qt::Key menuKey, Qt::Key itemKey);
    bool hasKeyboard() const { return QApplication::activeWindow() == m_main.get(); }

    QTemporaryDir m_dir;
    std::unique_ptr<QtWindowLayer> m_layer;
    std::unique_ptr<Net> m_net;
    std::unique_ptr<Module1> m_state;
    std::unique_ptr<frmMain> m_main;
    std::unique_ptr<DialogAnswerer> m_dialogs;
};

void TestActiveWindow::init()
{
    m_layer = std::make_unique<QtWindowLayer>();
    m_net = std::make_unique<Net>();
    m_state = std::make_unique<Module1>();
    m_main = std::make_unique<frmMain>(*m_net, *m_state, *m_layer, &makeCommands);
    m_dialogs = std::make_unique<DialogAnswerer>();
    m_main->Show();
    m_main->activateWindow();
    QVERIFY(QTest::qWaitForWindowExposed(m_main.get()));
    QTRY_VERIFY(hasKeyboard());
}

void TestActiveWindow::cleanup()
{
    if (m_main)
        m_main->close();
    m_main.reset();
    m_state.reset();
    m_net.reset();
    m_dialogs.reset();
    m_layer.reset();
}

void TestActiveWindow::press(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QWidget* target = QApplication::focusWidget();
    if (!target || target->window() != QApplication::activeWindow())
        target = QApplication::activeWindow();
    QVERIFY2(target, "no window has the keyboard");
    QTest::keyClick(target, key, modifiers);
}

void TestActiveWindow::menu(Qt::Key menuKey, Qt::Key itemKey)
{
    press(menuKey, Qt::AltModifier);
    QTRY_VERIFY(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    QTest::keyClick(QApplication::activePopupWidget(), itemKey);
    // The offscreen platform makes every window it shows the active one, a menu's popup
    // included, and gives nothing back when it closes; a display server never hands the
    // keyboard to a menu. Put back what a display would have.
    QWidget* active = QApplication::activeWindow();
    if (QGuiApplication::platformName() == QLatin1String("offscreen") && !QApplication::activePopupWidget()
        && !QApplication::activeModalWidget() && (!active || qobject_cast<QMenu*>(active)))
        m_main->activateWindow();
}

void TestActiveWindow::saveAndCloseWorkAfterEveryCommand_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("flags");  // Open: the stations of the file, 1 for an active one
    QTest::addColumn<int>("windowsBefore");

    QTest::newRow("open, no active station") << "open"
                                             << "000" << 1;
    QTest::newRow("open, one inactive station") << "open"
                                                << "0" << 1;
    QTest::newRow("open, one active station") << "open"
                                              << "1" << 3;
    QTest::newRow("open, exactly 100") << "open" << repeated("0110", 100) << 2;
    QTest::newRow("open, more than 100") << "open" << repeated("0", 101) << 2;
    QTest::newRow("open, no station") << "open"
                                      << "" << 2;
    QTest::newRow("new session") << "new"
                                 << "" << 4;
    QTest::newRow("clear all") << "clear all"
                               << "" << 4;
    QTest::newRow("tile horizontal") << "tile"
                                     << "" << 4;
    QTest::newRow("close while others remain") << "close"
                                               << "" << 3;
    QTest::newRow("add participant") << "add"
                                     << "" << 2;
}

void TestActiveWindow::saveAndCloseWorkAfterEveryCommand()
{
    QFETCH(QString, command);
    QFETCH(QString, flags);
    QFETCH(int, windowsBefore);
    for (int i = 1; i < windowsBefore; ++i)
        press(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(openWindows(*m_main), windowsBefore);

    int expected = windowsBefore;
    if (command == QLatin1String("open")) {
        const QString path = m_dir.filePath(QStringLiteral("net.kvs"));
        QVERIFY(writeNetFile(path, netWith(flags)));
        m_dialogs->answerFile(path);
        if (flags.size() > 100)
            m_dialogs->answer([](QDialog* d) { d->accept(); });  // "Participant limit exceeded"
        press(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(m_main->caption(), appTitle() + QStringLiteral(" - ") + QDir::toNativeSeparators(path));
        expected = qMin(int(flags.size()), 100);
    } else if (command == QLatin1String("new")) {
        press(Qt::Key_N, Qt::ControlModifier);
        expected = 1;
    } else if (command == QLatin1String("clear all")) {
        menu(Qt::Key_E, Qt::Key_Return);  // Clear All is the Edit menu's first item
    } else if (command == QLatin1String("tile")) {
        menu(Qt::Key_W, Qt::Key_H);
    } else if (command == QLatin1String("close")) {
        menu(Qt::Key_F, Qt::Key_C);
        expected = windowsBefore - 1;
    } else if (command == QLatin1String("add")) {
        press(Qt::Key_A, Qt::ControlModifier);
        expected = windowsBefore + 1;
    }
    QVERIFY2(m_dialogs->allAnswered(), qPrintable(m_dialogs->seen.join(u',')));
    QCOMPARE(openWindows(*m_main), expected);
    if (expected == 0)
        return;  // nothing to save from or to close: Save As has no window to act on

    // The frame has the keyboard, and the window in front is the active participant.
    QTRY_VERIFY(hasKeyboard());
    frmDocument* front = inFront(*m_main);
    QVERIFY(front);
    QCOMPARE(m_main->activeParticipant(), front);
    QTRY_COMPARE(m_main->mdiArea->activeSubWindow(), front);

    // Ctrl+S: no name chosen yet, so the Save As dialog comes up.
    QString title;
    m_dialogs->answer([&title](QDialog* d) {
        title = d->windowTitle();
        d->reject();
    });
    press(Qt::Key_S, Qt::ControlModifier);
    QVERIFY2(m_dialogs->allAnswered(), "Ctrl+S showed no dialog");
    QCOMPARE(title, QStringLiteral("Save As"));
    QVERIFY(m_dialogs->unexpected.isEmpty());

    // File > Close closes the window in front, and only that one.
    QTRY_VERIFY(hasKeyboard());
    const QPointer<frmDocument> closing = inFront(*m_main);
    menu(Qt::Key_F, Qt::Key_C);
    QTRY_VERIFY(!closing);
    QCOMPARE(openWindows(*m_main), expected - 1);
}

void TestActiveWindow::aMessageBoxGivesTheKeyboardBack()
{
    // Save with a name chosen but no start time: the validation message, then the keyboard
    // is back in the frame, in the field to fill.
    const QString path = m_dir.filePath(QStringLiteral("incomplete.kvs"));
    m_dialogs->answerFile(path);
    QString message;
    m_dialogs->answer([&message](QDialog* d) {
        auto* box = qobject_cast<QMessageBox*>(d);
        QVERIFY(box);
        message = box->text();
        box->accept();
    });
    press(Qt::Key_S, Qt::ControlModifier);
    QVERIFY(m_dialogs->allAnswered());
    QCOMPARE(message, QStringLiteral("Please enter Net's start time"));
    QTRY_VERIFY(hasKeyboard());
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_main->txtStart));
    QVERIFY(!QFile::exists(path));
}

KOLVANE_TEST_MAIN(TestActiveWindow)
#include "test_active_window.moc"
