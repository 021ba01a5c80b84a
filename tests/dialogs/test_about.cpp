#include "dialogs/frmAbout.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Controls.h"

#include <QPushButton>
#include <QTest>

using namespace kolvane;
using kolvane::test::FakeConfigStore;
using kolvane::test::MainRig;
using kolvane::test::ScriptedWindowLayer;

namespace {

const QString kKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");

// How a value is put into the scripted store for a row.
enum class Kind { Absent, Text, Number, Binary, KeyOnly };

void putValue(FakeConfigStore& store, const QString& key, const QString& name, Kind kind, const QString& text)
{
    switch (kind) {
    case Kind::Absent:
        break;
    case Kind::Text:
        store.setText(key, name, text);
        break;
    case Kind::Number:
        store.setNumber(key, name, text.toUInt());
        break;
    case Kind::Binary: {
        FakeConfigStore::Value v;
        v.type = 3;
        v.text = text;
        store.setValue(key, name, v);
        break;
    }
    case Kind::KeyOnly:  // the key exists, the value does not
        store.setText(key, QStringLiteral("Other"), QStringLiteral("x"));
        break;
    }
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void textsAtLoad();
    void iconComesFromMainWindow();
    void sysInfoLookup_data();
    void sysInfoLookup();
    void getKeyValue_data();
    void getKeyValue();
    void sysInfoButtonKeepsDialogOpen();
    void enterAndEscClose_data();
    void enterAndEscClose();
    void shutdownClosesOpenAboutBox();
};

void TestAbout::textsAtLoad()
{
    ScriptedWindowLayer layer;
    frmAbout about(layer, nullptr);
    QCOMPARE(about.windowTitle(), QStringLiteral("Kolvane"));
    QCOMPARE(about.lblTitle->text(), QStringLiteral("Kolvane"));
    QCOMPARE(about.lblVersion->text(), QStringLiteral("Version 1.0.0"));
    QCOMPARE(about.lblDisclaimer->text(),
             QStringLiteral("DISCLAIMER: This software is provided as-is with no warranty,  implied or otherwise. "
                            "Any liability is the sole responsibility of it's user.This software is provided free "
                            "of charge and it's distribution is encourage as long as it is not modified in any way "
                            "or charged for it's use or distribution."));
    QCOMPARE(about.lblDescription->text(),
             QStringLiteral("Kolvane could be used to track and manage on-air gatherings of radio stations, such as "
                            "nets and group discussions. Its features include individual participant 'talk' timers, "
                            "ID timer and transferring the entire session to a new Net Control."));

    // The long texts are not cut off by their boxes on this system's fonts.
    for (QLabel* lbl : {static_cast<QLabel*>(about.lblDescription), static_cast<QLabel*>(about.lblDisclaimer)})
        QVERIFY2(lbl->heightForWidth(lbl->width()) <= lbl->height(), qPrintable(lbl->text()));
    QVERIFY(layer.isClean());
}

void TestAbout::iconComesFromMainWindow()
{
    ScriptedWindowLayer layer;
    QWidget owner;
    QPixmap red(32, 32);
    red.fill(Qt::red);
    owner.setWindowIcon(QIcon(red));
    frmAbout about(layer, &owner);
    QCOMPARE(about.windowIcon().pixmap(32, 32).toImage().pixelColor(5, 5), QColor(Qt::red));
    QCOMPARE(about.picIcon->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));

    // A main window without an icon still gets a picture in the box.
    frmAbout bare(layer, nullptr);
    QVERIFY(!bare.picIcon->pixmap().isNull());
    QCOMPARE(bare.picIcon->pixmap().size(), QSize(32, 32));
}

void TestAbout::sysInfoLookup_data()
{
    QTest::addColumn<Kind>("pathKind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<Kind>("folderKind");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QStringList>("startable");
    QTest::addColumn<QStringList>("started");  // start attempts, in order
    QTest::addColumn<int>("lookups");          // keys asked for
    QTest::addColumn<bool>("message");

    const QString tool = QStringLiteral("C:\\Tools\\sysinfo.exe");
    const QString folder = QStringLiteral("C:\\Shared\\MSINFO");
    const QString inFolder = folder + QStringLiteral("\\MSINFO32.EXE");

    QTest::newRow("PATH wins over an existing folder")
        << Kind::Text << tool << Kind::Text << folder << QStringList{inFolder} << QStringList{tool, inFolder}
        << QStringList{tool} << 1 << false;
    QTest::newRow("PATH that cannot start: message, no second look-up")
        << Kind::Text << tool << Kind::Text << folder << QStringList{inFolder} << QStringList{inFolder}
        << QStringList{tool} << 1 << true;
    QTest::newRow("folder with the program")
        << Kind::Absent << QString() << Kind::Text << folder << QStringList{inFolder} << QStringList{inFolder}
        << QStringList{inFolder} << 2 << false;
    QTest::newRow("PATH key without the value, folder with the program")
        << Kind::KeyOnly << QString() << Kind::Text << folder << QStringList{inFolder} << QStringList{inFolder}
        << QStringList{inFolder} << 2 << false;
    QTest::newRow("folder without the program")
        << Kind::Absent << QString() << Kind::Text << folder << QStringList{folder + QStringLiteral("\\OTHER.EXE")}
        << QStringList{inFolder} << QStringList{} << 2 << true;
    QTest::newRow("number PATH: decimal text, cannot start")
        << Kind::Number << QStringLiteral("305419896") << Kind::Text << folder << QStringList{inFolder}
        << QStringList{inFolder} << QStringList{QStringLiteral("305419896")} << 1 << true;
    QTest::newRow("number PATH above 2^31 stays positive")
        << Kind::Number << QStringLiteral("4000000000") << Kind::Absent << QString() << QStringList{} << QStringList{}
        << QStringList{QStringLiteral("4000000000")} << 1 << true;
    QTest::newRow("PATH of 1024 characters counts as missing")
        << Kind::Text << QString(1024, u'p') << Kind::Text << folder << QStringList{inFolder} << QStringList{inFolder}
        << QStringList{inFolder} << 2 << false;
    QTest::newRow("PATH of 1023 characters fits")
        << Kind::Text << QString(1023, u'p') << Kind::Absent << QString() << QStringList{}
        << QStringList{QString(1023, u'p')} << QStringList{QString(1023, u'p')} << 1 << false;
    QTest::newRow("PATH of another type: nothing to start")
        << Kind::Binary << QStringLiteral("bytes") << Kind::Absent << QString() << QStringList{} << QStringList{}
        << QStringList{QString()} << 1 << true;
    QTest::newRow("neither value") << Kind::Absent << QString() << Kind::Absent << QString() << QStringList{}
                                   << QStringList{} << QStringList{} << 2 << true;
    QTest::newRow("folder of number type has no program")
        << Kind::Absent << QString() << Kind::Number << QStringLiteral("7") << QStringList{} << QStringList{}
        << QStringList{} << 2 << true;
}

void TestAbout::sysInfoLookup()
{
    QFETCH(Kind, pathKind);
    QFETCH(QString, path);
    QFETCH(Kind, folderKind);
    QFETCH(QString, folder);
    QFETCH(QStringList, existing);
    QFETCH(QStringList, startable);
    QFETCH(QStringList, started);
    QFETCH(int, lookups);
    QFETCH(bool, message);

    ScriptedWindowLayer layer;
    putValue(layer.store, kKey, QStringLiteral("PATH"), pathKind, path);
    putValue(layer.store, kLocationKey, QStringLiteral("MSINFO"), folderKind, folder);
    for (const QString& f : existing)
        layer.existingFiles.insert(f);
    for (const QString& p : startable)
        layer.startablePrograms.insert(p);

    frmAbout about(layer, nullptr);
    about.StartSysInfo();

    QCOMPARE(layer.startedPrograms, started);
    QCOMPARE(layer.store.opened.size(), lookups);
    QCOMPARE(layer.store.opened.value(0), qMakePair(ConfigStore::LocalMachine, kKey));
    if (lookups > 1)
        QCOMPARE(layer.store.opened.value(1), qMakePair(ConfigStore::LocalMachine, kLocationKey));
    QCOMPARE(layer.store.openKeys, 0);  // every key that opened was closed
    // Read access only: all access rights on the machine's keys are refused to an ordinary account.
    QCOMPARE(layer.store.accesses, QList<quint32>(lookups, ConfigStore::ReadAccess));
    if (message) {
        QCOMPARE(layer.messages.size(), 1);
        QCOMPARE(layer.messages[0].text, kUnavailable);
        QCOMPARE(layer.messages[0].caption, QStringLiteral("Kolvane"));
        QCOMPARE(layer.messages[0].icon, MessageIcon::None);
        layer.messages.clear();
    }
    QVERIFY(layer.isClean());
}

void TestAbout::getKeyValue_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("value");

    QTest::newRow("text") << Kind::Text << QStringLiteral("C:\\x.exe") << true << QStringLiteral("C:\\x.exe");
    QTest::newRow("text up to its first NUL")
        << Kind::Text << QStringLiteral("abc") + QChar(0) + QStringLiteral("def") << true << QStringLiteral("abc");
    QTest::newRow("empty text") << Kind::Text << QString() << true << QString();
    QTest::newRow("number") << Kind::Number << QStringLiteral("0") << true << QStringLiteral("0");
    QTest::newRow("largest number") << Kind::Number << QStringLiteral("4294967295") << true
                                    << QStringLiteral("4294967295");
    QTest::newRow("other type leaves the text alone")
        << Kind::Binary << QStringLiteral("zz") << true << QStringLiteral("stale");
    QTest::newRow("missing key empties the text") << Kind::Absent << QString() << false << QString();
    QTest::newRow("missing value empties the text") << Kind::KeyOnly << QString() << false << QString();
    QTest::newRow("too long for the buffer") << Kind::Text << QString(1024, u'x') << false << QString();
}

void TestAbout::getKeyValue()
{
    QFETCH(Kind, kind);
    QFETCH(QString, stored);
    QFETCH(bool, ok);
    QFETCH(QString, value);

    ScriptedWindowLayer layer;
    putValue(layer.store, QStringLiteral("K"), QStringLiteral("V"), kind, stored);
    frmAbout about(layer, nullptr);
    QString got = QStringLiteral("stale");
    QCOMPARE(about.GetKeyValue(ConfigStore::LocalMachine, QStringLiteral("K"), QStringLiteral("V"), got), ok);
    QCOMPARE(got, value);
    QCOMPARE(layer.store.openKeys, 0);
}

void TestAbout::sysInfoButtonKeepsDialogOpen()
{
    MainRig rig;
    bool openAfterMessage = false;
    rig.layer.answerModal([&](QDialog* d) {
        auto* about = qobject_cast<frmAbout*>(d);
        QVERIFY(about);
        about->cmdSysInfo->click();
        openAfterMessage = about->isVisible();
        about->cmdOK->click();
    });
    rig.main->mnuHelpAbout_Click();
    QVERIFY(openAfterMessage);
    QCOMPARE(rig.layer.takeMessages(), QStringList{kUnavailable});
    QVERIFY(rig.layer.isClean());
}

void TestAbout::enterAndEscClose_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    QTest::newRow("Esc") << int(Qt::Key_Escape);
}

void TestAbout::enterAndEscClose()
{
    QFETCH(int, key);
    MainRig rig;
    bool closedByKey = false;
    QPointer<QDialog> shown;
    rig.layer.answerModal([&](QDialog* d) {
        shown = d;
        QCOMPARE(d->parentWidget(), rig.main.get());
        QCOMPARE(rig.main->frmAbout.data(), static_cast<QWidget*>(d));
        QWidget* target = d->focusWidget() ? d->focusWidget() : d;
        QTest::keyClick(target, Qt::Key(key));
        closedByKey = !d->isVisible();
    });
    rig.main->mnuHelpAbout_Click();
    QVERIFY(closedByKey);
    QVERIFY(shown.isNull());  // ended, not just hidden
    QVERIFY(rig.main->frmAbout.isNull());
    QVERIFY(rig.layer.isClean());
}

void TestAbout::shutdownClosesOpenAboutBox()
{
    MainRig rig;
    QVERIFY(rig.shutdownWhileShowing([&] { rig.main->mnuHelpAbout_Click(); }));
    QVERIFY(rig.main->frmAbout.isNull());
    QVERIFY(rig.layer.isClean());
}

KOLVANE_TEST_MAIN(TestAbout)
#include "test_about.moc"
