// A net survives every path through the running windows: whatever text a session file can
// hold, the net opened and saved, restored from its recovery copy and saved, or handed over
// in a transfer file that is opened and saved, comes out with the bytes the writer gives
// for the same net. Only what the program changes on purpose differs: callsigns in upper
// case, and the transfer's new Net Control with its hand-over note.
//
// KOLVANE_ROUND_TRIP_NETS sets how many nets are generated (`make round-trip` runs many),
// KOLVANE_ROUND_TRIP_SEED the first seed; a failure names the seed that reproduces it.
#include "FileRig.h"
#include "files/RecoveryCopy.h"
#include "files/commands/RecoveryOffer.h"
#include "net/Callsign.h"
#include "support/StaleLock.h"
#include "support/TestMain.h"
#include "ui/frmTransfer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

using namespace kolvane;
using namespace kolvane::test;

namespace {

// Text of every kind a line of a session file can carry.
class NetMaker {
public:
    explicit NetMaker(quint32 seed) : m_rng(seed) {}

    SessionData net()
    {
        SessionData d;
        NetHeader& h = d.header;
        // What Save insists on is filled; the stop stamp and the comments may be empty.
        h.start = value(false);
        h.stop = value(true);
        h.frequency = value(false);
        h.mode = value(false);
        h.cntrlCall = value(false);
        h.cntrlHandle = value(false);
        h.cntrlQTH = value(false);
        QStringList lines;
        const int commentLines = below(4) == 0 ? 0 : below(51);
        for (int i = 0; i < commentLines; ++i) {
            QString line = value(true);
            if (line == commentsSeparator())
                line += u'x';  // a line that ends the comments is not a comment
            lines << line;
        }
        h.comments = lines.join(QStringLiteral("\r\n"));
        for (int i = stations(); i > 0; --i)
            d.participants.append({below(2) == 0, value(true), value(true), value(true)});
        return d;
    }

    NetControlStation newStation() { return {value(false), value(false), value(false)}; }

private:
    int below(int n) { return int(m_rng.bounded(n)); }

    // Mostly a handful, now and then up to a full net: windows are what takes the time.
    int stations()
    {
        const int roll = below(100);
        if (roll < 5)
            return 0;
        if (roll < 80)
            return 1 + below(3);
        if (roll < 97)
            return 4 + below(9);
        return 13 + below(88);
    }

    QString value(bool mayBeEmpty)
    {
        const int kind = below(20);
        if (kind == 0 && mayBeEmpty)
            return QString();
        const int length = kind == 1 ? 1000 : 1 + below(24);
        QString text;
        while (text.size() < length)
            text += piece();
        if (kind == 1)
            text.truncate(length - (text[length - 1].isHighSurrogate() ? 1 : 0));
        if (below(5) == 0)
            text = QStringLiteral("  ") + text + QStringLiteral(" \t");
        return text;
    }

    QString piece()
    {
        static const char16_t kOdd[] = {
            u' ',   u'\t',  0x00A0, 0x3000,          // blanks
            0x2028, 0x2029, 0x0085, 0x000B, 0x000C,  // separators of other systems
            0xFDD0, 0xFDD1, 0xFFFC, 0xFEFF, 0xFFFD,  // what editors keep for themselves
            0x0000, 0x0001, 0x001F, 0x007F,          // control characters
            0x05D0, 0x05E9, 0x0627, 0x200F, 0x202E,  // right to left
            0x0301, 0x0308, 0x20DD,                  // combining marks
            0x00E9, 0x20AC, 0x00DF, 0x0152, 0x2014,  // Windows-1252 beyond ASCII
            0x0101, 0x0416, 0x4E2D, 0x00B5, 0x0131,  // beyond it; case mapping that differs
        };
        switch (below(8)) {
        case 0:
            return QString(QChar(kOdd[below(int(std::size(kOdd)))]));
        case 1: {
            // Outside the basic plane, some with an upper case of their own.
            static const char32_t kWide[] = {0x1F600, 0x1D11E, 0x10428, 0x10400, 0x20BB7};
            const char32_t c = kWide[below(int(std::size(kWide)))];
            return QString::fromUcs4(&c, 1);
        }
        case 2:
            return commentsSeparator().left(1 + below(7));
        default:
            return QString(QChar(char16_t(u'0' + below(75))));
        }
    }

    QRandomGenerator m_rng;
};

// Where the suite's files go. The recovery copy is flushed to the disk at every write: in
// memory that costs nothing.
QString scratchTemplate()
{
#ifdef Q_OS_LINUX
    if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
        return QStringLiteral("/dev/shm/kolvane-XXXXXX");
#endif
    return QDir::tempPath() + QStringLiteral("/kolvane-XXXXXX");
}

// The net as the program keeps it once its windows have shown it.
SessionData asKept(SessionData d)
{
    d.header.cntrlCall = upperCallsign(d.header.cntrlCall);
    for (ParticipantRecord& r : d.participants)
        r.callsign = upperCallsign(r.callsign);
    return d;
}

// A line as it can be read in a failure message: what is not printable ASCII as \x{...}.
QString visible(const QString& line)
{
    QString out;
    for (const char32_t c : line.left(60).toUcs4())
        out += c >= 0x20 && c < 0x7F ? QString(QChar(char16_t(c))) : QStringLiteral("\\x{%1}").arg(uint(c), 0, 16);
    return out;
}

// The first line where two files part, for the failure message.
QString firstDifference(const QByteArray& got, const QByteArray& want)
{
    const QStringList a = QString::fromUtf8(got).split(QStringLiteral("\r\n"));
    const QStringList b = QString::fromUtf8(want).split(QStringLiteral("\r\n"));
    for (qsizetype i = 0; i < qMax(a.size(), b.size()); ++i) {
        const QString x = a.value(i, QStringLiteral("<none>"));
        const QString y = b.value(i, QStringLiteral("<none>"));
        if (x != y)
            return QStringLiteral("line %1: got [%2], want [%3]").arg(i + 1).arg(visible(x), visible(y));
    }
    return QStringLiteral("%1 bytes, want %2").arg(got.size()).arg(want.size());
}

}  // namespace

class TestWindowRoundTrip : public QObject {
    Q_OBJECT

private slots:
    void everyPathGivesTheWritersBytes();
};

void TestWindowRoundTrip::everyPathGivesTheWritersBytes()
{
    const int nets = qEnvironmentVariableIsSet("KOLVANE_ROUND_TRIP_NETS")
                         ? qEnvironmentVariableIntValue("KOLVANE_ROUND_TRIP_NETS")
                         : 1000;
    const quint32 firstSeed = quint32(qEnvironmentVariableIntValue("KOLVANE_ROUND_TRIP_SEED"));

    QTemporaryDir dir(scratchTemplate());
    const QString in = dir.filePath(QStringLiteral("in.kvs"));
    const QString out = dir.filePath(QStringLiteral("out.kvs"));
    const QString handedOver = dir.filePath(QStringLiteral("transfer.kvs"));
    const QString folder = dir.filePath(QStringLiteral("state"));

    MainRig rig;
    // Every Save goes to the name chosen once, as for an operator who saves with Ctrl+S.
    rig.layer.answerFile(out);
    rig.main->mnuFileSaveAs_Click();
    QCOMPARE(rig.net.sSessionFileName(), out);
    RecoveryCopy recovery(rig.net, folder);
    QVERIFY(recovery.start());

    QElapsedTimer clock;
    clock.start();
    int transfers = 0;
    for (int i = 0; i < nets; ++i) {
        // The windows the last net closed are deleted, as the event loop would have done by
        // now; kept, they would slow every later net down.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        if (i > 0 && i % 10000 == 0)
            qInfo("%d nets, %.0f s", i, double(clock.elapsed()) / 1000);
        const quint32 seed = firstSeed + quint32(i);
        NetMaker maker(seed);
        const SessionData net = maker.net();
        const SessionData kept = asKept(net);
        const QByteArray want = writeSessionFile(kept);
        const auto failure = [&](const char* path, const QByteArray& got) {
            return QStringLiteral("%1, seed %2 (%3 stations): %4")
                .arg(QLatin1String(path))
                .arg(seed)
                .arg(net.participants.size())
                .arg(firstDifference(got, want));
        };
        const auto save = [&] {
            QFile::remove(out);
            rig.main->mnuFileSave_Click();
            return readAll(out);
        };

        // File > Open, then File > Save.
        QVERIFY(writeRaw(in, writeSessionFile(net)));
        rig.layer.answerFile(in);
        rig.main->mnuFileOpen_Click();
        recovery.writeNow();
        recovery.waitForWrites();
        // The copy as a program killed now would leave it.
        const QString left = QStringLiteral("%1/net-left-%2").arg(folder).arg(i);
        QVERIFY(QFile::copy(recovery.copyPath(), left + QStringLiteral(".kvs")));
        QVERIFY(QFile::copy(recovery.infoPath(), left + QStringLiteral(".info")));
        QVERIFY(leaveStaleLock(left + QStringLiteral(".lock")));
        QByteArray got = save();
        QVERIFY2(got == want, qPrintable(failure("Open, Save", got)));

        // The recovery copy offered at the next start, restored, then File > Save.
        rig.layer.answerQuestion(true);
        QVERIFY(offerLeftNets(*rig.main, recovery));
        got = save();
        QVERIFY2(got == want, qPrintable(failure("recovery copy restored, Save", got)));

        // Tools > Transfer Net Control, the transfer file opened, then File > Save. A net
        // with no station open cannot be handed over.
        if (net.participants.isEmpty())
            continue;
        const NetControlStation to = maker.newStation();
        if (upperCallsign(to.callsign) == kept.header.cntrlCall && to.handle == kept.header.cntrlHandle)
            continue;  // a transfer to oneself is refused
        rig.layer.answerModal([&](QDialog* dialog) {
            auto* dlg = qobject_cast<frmTransfer*>(dialog);
            QVERIFY(dlg);
            dlg->txtNewCallsign->setText(to.callsign);
            dlg->txtNewHandle->setText(to.handle);
            dlg->txtNewQTH->setText(to.qth);
            dlg->cmdOK->click();
        });
        rig.layer.answerFile(handedOver);
        rig.main->mnuToolsTransferNetControl_Click();
        const SessionReadResult transfer = readSessionFile(readAll(handedOver));
        QVERIFY(transfer.ok());
        // The note's stamp is the moment of the transfer; the note is the last four lines.
        const QStringList comments = transfer.data.header.comments.split(QStringLiteral("\r\n"));
        QVERIFY(comments.size() >= 4);
        const QString stamp = comments.at(comments.size() - 4).mid(int(qstrlen("//***On ")));
        const NetControlStation keptTo{upperCallsign(to.callsign), to.handle, to.qth};
        const QByteArray wantTransfer = writeSessionFile(transferSession(kept, keptTo, stamp));
        rig.layer.answerFile(handedOver);
        rig.main->mnuFileOpen_Click();
        got = save();
        QVERIFY2(
            got == wantTransfer,
            qPrintable(
                QStringLiteral("transfer, Open, Save, seed %1: %2").arg(seed).arg(firstDifference(got, wantTransfer))));
        ++transfers;
    }
    QString why;
    QVERIFY2(rig.layer.isClean(&why), qPrintable(why));
    qInfo("%d nets through every path (%d of them handed over) in %.1f s", nets, transfers,
          double(clock.elapsed()) / 1000);
}

KOLVANE_TEST_MAIN(TestWindowRoundTrip)
#include "test_window_round_trip.moc"
