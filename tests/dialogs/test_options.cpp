#include "dialogs/frmOptions.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

using namespace kolvane;
using kolvane::test::MainRig;
using kolvane::test::ScriptedWindowLayer;

namespace {

// Every page where it should be for tab `selected` (0-based): that page at left 210 and
// enabled, all the others at left -20000 and disabled.
bool pagesFollow(const frmOptions& dlg, int selected, QString* why)
{
    for (int i = 0; i < frmOptions::kPages; ++i) {
        const QWidget* page = dlg.picOptions[i];
        const bool shown = i == selected;
        const int left = twips::toPx(shown ? 210 : -20000);
        if (page->x() != left || page->isEnabled() != shown) {
            *why = QStringLiteral("page %1 at x=%2 enabled=%3 with tab %4 selected")
                       .arg(i)
                       .arg(page->x())
                       .arg(page->isEnabled())
                       .arg(selected + 1);
            return false;
        }
    }
    return true;
}

}  // namespace

class TestOptions : public QObject {
    Q_OBJECT

private slots:
    void startsOnGroup1();
    void tabKeys_data();
    void tabKeys();
    void everyChangeShowsExactlyOnePage();
    void okShowsItsMessageThenCloses();
    void applyKeepsTheDialogOnItsTab();
    void escAndCancelClose_data();
    void escAndCancelClose();
    void everyShowingStartsOnGroup1();
    void shutdownClosesOpenOptions();
};

void TestOptions::startsOnGroup1()
{
    ScriptedWindowLayer layer;
    QWidget owner;
    QPixmap blue(16, 16);
    blue.fill(Qt::blue);
    owner.setWindowIcon(QIcon(blue));
    frmOptions dlg(layer, &owner);
    QCOMPARE(dlg.windowIcon().pixmap(16, 16).toImage().pixelColor(2, 2), QColor(Qt::blue));
    QCOMPARE(dlg.tbsOptions->count(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(dlg.tbsOptions->tabText(i), QStringLiteral("Group %1").arg(i + 1));
    QCOMPARE(dlg.tbsOptions->currentIndex(), 0);
    QString why;
    QVERIFY2(pagesFollow(dlg, 0, &why), qPrintable(why));
}

void TestOptions::tabKeys_data()
{
    QTest::addColumn<QString>("target");  // the control with the focus
    QTest::addColumn<int>("from");        // 0-based
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("to");

    const int ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier, alt = Qt::AltModifier;
    const int tab = Qt::Key_Tab, backtab = Qt::Key_Backtab;
    QTest::newRow("Ctrl+Tab steps forward") << "tabs" << 0 << tab << ctrl << 1;
    QTest::newRow("Ctrl+Tab on Group 4 wraps to Group 1") << "tabs" << 3 << tab << ctrl << 0;
    QTest::newRow("Ctrl+Shift+Tab steps back") << "tabs" << 2 << backtab << (ctrl | shift) << 1;
    QTest::newRow("Ctrl+Shift+Tab on Group 1 wraps to Group 4") << "tabs" << 0 << backtab << (ctrl | shift) << 3;
    QTest::newRow("Ctrl+Shift+Tab reported as Tab") << "tabs" << 0 << tab << (ctrl | shift) << 3;
    QTest::newRow("Ctrl+Alt+Tab as Ctrl+Tab") << "tabs" << 3 << tab << (ctrl | alt) << 0;
    QTest::newRow("Ctrl+Alt+Shift+Tab as Ctrl+Shift+Tab") << "tabs" << 1 << backtab << (ctrl | alt | shift) << 0;
    QTest::newRow("Ctrl+Tab from a button") << "apply" << 1 << tab << ctrl << 2;
    QTest::newRow("Ctrl+Tab from inside a page moves one tab") << "frame" << 0 << tab << ctrl << 1;
    QTest::newRow("Ctrl+Shift+Tab from inside a page moves one tab") << "frame" << 0 << backtab << (ctrl | shift) << 3;
    QTest::newRow("Tab alone") << "tabs" << 1 << tab << 0 << 1;
    QTest::newRow("Shift+Tab") << "ok" << 1 << backtab << shift << 1;
    QTest::newRow("Alt+Tab") << "tabs" << 1 << tab << alt << 1;
    QTest::newRow("Ctrl+other key") << "tabs" << 1 << int(Qt::Key_A) << ctrl << 1;
    // No button is the default one: Enter runs neither OK nor Apply.
    QTest::newRow("Enter on the tabs") << "tabs" << 1 << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("keypad Enter inside a page") << "frame" << 2 << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << 2;
}

void TestOptions::tabKeys()
{
    QFETCH(QString, target);
    QFETCH(int, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, to);

    ScriptedWindowLayer layer;
    frmOptions dlg(layer, nullptr);
    dlg.show();
    dlg.tbsOptions->setCurrentIndex(from);
    QWidget* w = target == u"apply"   ? static_cast<QWidget*>(dlg.cmdApply)
                 : target == u"ok"    ? static_cast<QWidget*>(dlg.cmdOK)
                 : target == u"frame" ? static_cast<QWidget*>(from == 0   ? dlg.fraSample1
                                                              : from == 1 ? dlg.fraSample2
                                                              : from == 2 ? dlg.fraSample3
                                                                          : dlg.fraSample4)
                                      : static_cast<QWidget*>(dlg.tbsOptions);
    QTest::keyClick(w, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(dlg.tbsOptions->currentIndex(), to);
    QString why;
    QVERIFY2(pagesFollow(dlg, to, &why), qPrintable(why));
    QVERIFY(dlg.isVisible());
    QVERIFY2(layer.isClean(&why), qPrintable(why));
}

void TestOptions::everyChangeShowsExactlyOnePage()
{
    ScriptedWindowLayer layer;
    frmOptions dlg(layer, nullptr);
    dlg.show();
    QString why;
    // Clicks on the tabs, selections from the program and key presses, in a mixed order.
    const int sequence[] = {2, 3, 0, 1, 3, 3, 2};
    for (int index : sequence) {
        QTest::mouseClick(dlg.tbsOptions, Qt::LeftButton, {}, dlg.tbsOptions->tabRect(index).center());
        QCOMPARE(dlg.tbsOptions->currentIndex(), index);
        QVERIFY2(pagesFollow(dlg, index, &why), qPrintable(why));
        QTest::keyClick(dlg.tbsOptions, Qt::Key_Tab, Qt::ControlModifier);
        QVERIFY2(pagesFollow(dlg, (index + 1) % 4, &why), qPrintable(why));
    }
    for (int round = 0; round < 9; ++round) {
        QTest::keyClick(dlg.cmdCancel, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY2(pagesFollow(dlg, dlg.tbsOptions->currentIndex(), &why), qPrintable(why));
    }
    QCOMPARE(dlg.tbsOptions->currentIndex(), (3 + 4 - 9 % 4) % 4);
}

void TestOptions::okShowsItsMessageThenCloses()
{
    MainRig rig;
    bool openDuringMessage = false;
    QPointer<QDialog> shown;
    rig.layer.onMessage = [&](const ScriptedWindowLayer::Message&) { openDuringMessage = shown && shown->isVisible(); };
    rig.layer.answerModal([&](QDialog* d) {
        shown = d;
        QCOMPARE(d->parentWidget(), rig.main.get());
        QCOMPARE(rig.main->frmOptions.data(), static_cast<QWidget*>(d));
        qobject_cast<frmOptions*>(d)->cmdOK->click();
        QVERIFY(!d->isVisible());
    });
    rig.main->mnuViewOptions_Click();
    QVERIFY(openDuringMessage);
    QCOMPARE(rig.layer.messages.size(), 1);
    QCOMPARE(rig.layer.messages[0].text, QStringLiteral("Code goes here to set options and close dialog!"));
    QCOMPARE(rig.layer.messages[0].caption, QStringLiteral("Kolvane"));
    rig.layer.messages.clear();
    QVERIFY(shown.isNull());
    QVERIFY(rig.main->frmOptions.isNull());
    QVERIFY(rig.layer.isClean());
}

void TestOptions::applyKeepsTheDialogOnItsTab()
{
    MainRig rig;
    bool stillOpen = false;
    int tabAfter = -1;
    rig.layer.answerModal([&](QDialog* d) {
        auto* dlg = qobject_cast<frmOptions*>(d);
        dlg->tbsOptions->setCurrentIndex(2);
        dlg->cmdApply->click();
        stillOpen = dlg->isVisible();
        tabAfter = dlg->tbsOptions->currentIndex();
        QString why;
        QVERIFY2(pagesFollow(*dlg, 2, &why), qPrintable(why));
        dlg->cmdCancel->click();
    });
    rig.main->mnuToolsOptions_Click();
    QVERIFY(stillOpen);
    QCOMPARE(tabAfter, 2);
    QCOMPARE(rig.layer.messages.size(), 1);
    QCOMPARE(rig.layer.messages[0].text, QStringLiteral("Apply Code goes here to set options w/o closing dialog!"));
    QCOMPARE(rig.layer.messages[0].caption, QStringLiteral("Kolvane"));
    rig.layer.messages.clear();
    QVERIFY(rig.layer.isClean());
}

void TestOptions::escAndCancelClose_data()
{
    QTest::addColumn<int>("how");  // 0 Esc, 1 Cancel, 2 close box
    QTest::newRow("Esc") << 0;
    QTest::newRow("Cancel") << 1;
    QTest::newRow("close box") << 2;
}

void TestOptions::escAndCancelClose()
{
    QFETCH(int, how);
    MainRig rig;
    bool closed = false;
    rig.layer.answerModal([&](QDialog* d) {
        auto* dlg = qobject_cast<frmOptions*>(d);
        if (how == 0)
            QTest::keyClick(dlg->tbsOptions, Qt::Key_Escape);
        else if (how == 1)
            dlg->cmdCancel->click();
        else
            dlg->close();
        closed = !dlg->isVisible();
    });
    rig.main->mnuViewOptions_Click();
    QVERIFY(closed);
    QVERIFY(rig.layer.isClean());  // no message on the way out
}

void TestOptions::everyShowingStartsOnGroup1()
{
    MainRig rig;
    rig.layer.answerModal([&](QDialog* d) {
        qobject_cast<frmOptions*>(d)->tbsOptions->setCurrentIndex(3);
        d->reject();
    });
    rig.main->mnuToolsOptions_Click();
    int tab = -1;
    QString why;
    bool pagesOk = false;
    rig.layer.answerModal([&](QDialog* d) {
        auto* dlg = qobject_cast<frmOptions*>(d);
        tab = dlg->tbsOptions->currentIndex();
        pagesOk = pagesFollow(*dlg, 0, &why);
    });
    rig.main->mnuViewOptions_Click();
    QCOMPARE(tab, 0);
    QVERIFY2(pagesOk, qPrintable(why));
    QVERIFY(rig.layer.isClean());
}

void TestOptions::shutdownClosesOpenOptions()
{
    MainRig rig;
    QVERIFY(rig.shutdownWhileShowing([&] { rig.main->mnuToolsOptions_Click(); }));
    QVERIFY(rig.main->frmOptions.isNull());
    QVERIFY(rig.layer.isClean());  // closed as Cancel: no message
}

KOLVANE_TEST_MAIN(TestOptions)
#include "test_options.moc"
