// Every control an operator can reach must have a name a screen reader can read out, and
// the status line must be announced when it changes.
#include "dialogs/frmAbout.h"
#include "dialogs/frmLogin.h"
#include "dialogs/frmOptions.h"
#include "support/MainRig.h"
#include "support/TestMain.h"
#include "ui/Controls.h"
#include "ui/frmTransfer.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>

using namespace kolvane;
using namespace kolvane::test;

namespace {

QList<QAccessibleEvent*> g_events;
QObject* g_watched = nullptr;

void recordUpdate(QAccessibleEvent* event)
{
    if (event->object() == g_watched && event->type() == QAccessible::NameChanged)
        g_events << event;
}

bool interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::EditableText:
    case QAccessible::ComboBox:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::SpinBox:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
        return true;
    default:
        return false;
    }
}

// Walks the tree below `iface` and lists interactive elements without a name.
void collectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int depth = 0)
{
    if (!iface || depth > 40)
        return;
    if (interactive(iface->role()) && iface->text(QAccessible::Name).trimmed().isEmpty()) {
        QObject* o = iface->object();
        unnamed << QStringLiteral("%1 (%2)").arg(o ? QString::fromLatin1(o->metaObject()->className())
                                                   : QStringLiteral("?"),
                                                 o ? o->objectName() : QString());
    }
    for (int i = 0; i < iface->childCount(); ++i)
        collectUnnamed(iface->child(i), unnamed, depth + 1);
}

}  // namespace

class TestAccessibility : public QObject {
    Q_OBJECT

private slots:
    void everyInteractiveControlHasAName()
    {
        MainRig rig;
        rig.addUpTo(2);
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(rig.main.get()), unnamed);
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }

    void walkerReportsAnUnnamedField()
    {
        // The check above is only as good as its walk: an unnamed field must be found.
        QWidget w;
        auto* field = new QLineEdit(&w);
        field->setObjectName(QStringLiteral("nameless"));
        QStringList unnamed;
        collectUnnamed(QAccessible::queryAccessibleInterface(&w), unnamed);
        QCOMPARE(unnamed, QStringList{QStringLiteral("QLineEdit (nameless)")});
    }

    void everyDialogControlHasAName()
    {
        MainRig rig;
        kolvane::frmAbout about(rig.layer, rig.main.get());
        kolvane::frmLogin login(rig.layer);
        kolvane::frmOptions options(rig.layer, rig.main.get());
        kolvane::frmTransfer transfer(*rig.main);
        for (QWidget* dialog : std::initializer_list<QWidget*>{&about, &login, &options, &transfer}) {
            QStringList unnamed;
            collectUnnamed(QAccessible::queryAccessibleInterface(dialog), unnamed);
            QVERIFY2(unnamed.isEmpty(), qPrintable(dialog->metaObject()->className() + QStringLiteral(": ")
                                                   + unnamed.join(QStringLiteral(", "))));
        }
    }

    void participantFieldsCarryTheirNumber()
    {
        MainRig rig;
        rig.addUpTo(3);
        frmDocument* d = rig.doc(3);
        QCOMPARE(QAccessible::queryAccessibleInterface(d->txtCallsign)->text(QAccessible::Name),
                 QStringLiteral("Participant 3 callsign"));
        QCOMPARE(QAccessible::queryAccessibleInterface(d->cmdTalk)->text(QAccessible::Name), QStringLiteral("Talk"));
        QCOMPARE(d->cmdTalk->toolTip(), QStringLiteral("Talk"));
        QCOMPARE(rig.main->cmdIDTimer->toolTip(), QStringLiteral("ID timer start/stop"));
        QCOMPARE(rig.main->cmdAddParticipant->toolTip(), QStringLiteral("Add participant"));
    }

    void statusLineIsAnnouncedWhenItChanges()
    {
        MainRig rig;
        g_watched = rig.main->sbPanel1;
        g_events.clear();
        QSignalSpy changed(rig.main.get(), &frmMain::statusTextChanged);
        // As when a screen reader is attached (the headless platform has no bridge, so the
        // event itself can only be seen where one exists).
        QAccessible::setActive(true);
        const bool bridge = QAccessible::isActive();
        QAccessible::installUpdateHandler(recordUpdate);
        rig.main->setStatusText(QStringLiteral("Status: Sorting windows"));
        QAccessible::installUpdateHandler(nullptr);
        QAccessible::setActive(false);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed[0][0].toString(), QStringLiteral("Status: Sorting windows"));
        if (bridge)
            QCOMPARE(g_events.size(), 1);
        QCOMPARE(QAccessible::queryAccessibleInterface(rig.main->sbPanel1)->text(QAccessible::Name),
                 QStringLiteral("Status: Sorting windows"));
        g_watched = nullptr;
    }
};

KOLVANE_TEST_MAIN(TestAccessibility)
#include "test_accessibility.moc"
