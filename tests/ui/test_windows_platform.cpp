// The Win32 side of the window layer, on the real system (Windows, or Wine): the registry
// as the configuration store, the login name, and the About box's System Info reading the
// machine's registry and starting the program named there.
#include "dialogs/frmAbout.h"
#include "support/TestMain.h"
#include "ui/QtWindowLayer.h"
#include "ui/RegistryConfigStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <qt_windows.h>

using namespace kolvane;

namespace {

const QString kTestKey = QStringLiteral("Software\\Kolvane tests");
constexpr quint32 kCurrentUser = 0x80000001u;  // HKEY_CURRENT_USER: writable by every account

// How a value is put into the registry for a row.
enum class Kind { Absent, Text, Number, Binary, KeyOnly };

HKEY createKey(HKEY root, const QString& name)
{
    HKEY key = nullptr;
    const std::wstring wide = name.toStdWString();
    if (RegCreateKeyExW(root, wide.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

bool setValue(HKEY key, const QString& name, DWORD type, const void* data, DWORD bytes)
{
    const std::wstring wide = name.toStdWString();
    return RegSetValueExW(key, wide.c_str(), 0, type, static_cast<const BYTE*>(data), bytes) == ERROR_SUCCESS;
}

bool setText(HKEY key, const QString& name, const QString& text)
{
    // With its terminating character, as the registry editor writes a text.
    const std::wstring wide = text.toStdWString();
    return setValue(key, name, REG_SZ, wide.c_str(), DWORD((wide.size() + 1) * sizeof(wchar_t)));
}

void deleteTree(HKEY root, const QString& name)
{
    const std::wstring wide = name.toStdWString();
    RegDeleteTreeW(root, wide.c_str());
    RegDeleteKeyW(root, wide.c_str());
}

// A value of the machine's registry as it was before a test, put back afterwards.
class SavedValue {
public:
    SavedValue(const QString& key, const QString& name) : m_key(key), m_name(name)
    {
        HKEY k = nullptr;
        const std::wstring wide = key.toStdWString();
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS)
            return;
        m_keyExisted = true;
        DWORD bytes = 0;
        const std::wstring value = name.toStdWString();
        if (RegQueryValueExW(k, value.c_str(), nullptr, &m_type, nullptr, &bytes) == ERROR_SUCCESS) {
            m_data.resize(bytes);
            m_valueExisted =
                RegQueryValueExW(k, value.c_str(), nullptr, &m_type, reinterpret_cast<BYTE*>(m_data.data()), &bytes)
                == ERROR_SUCCESS;
        }
        RegCloseKey(k);
    }
    ~SavedValue()
    {
        if (!m_keyExisted) {
            deleteTree(HKEY_LOCAL_MACHINE, m_key);
            return;
        }
        HKEY k = createKey(HKEY_LOCAL_MACHINE, m_key);
        const std::wstring value = m_name.toStdWString();
        if (m_valueExisted)
            setValue(k, m_name, m_type, m_data.constData(), DWORD(m_data.size()));
        else
            RegDeleteValueW(k, value.c_str());
        RegCloseKey(k);
    }

private:
    QString m_key, m_name;
    bool m_keyExisted = false;
    bool m_valueExisted = false;
    DWORD m_type = REG_NONE;
    QByteArray m_data;
};

// The real window layer, with the message box recorded instead of shown.
class RecordingLayer : public QtWindowLayer {
public:
    void messageBox(QWidget*, const QString& text, const QString&, MessageIcon) override { messages << text; }
    QStringList messages;
};

QString nativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// A small program every Windows (and Wine) has, that starts and ends by itself.
QString harmlessProgram()
{
    wchar_t dir[MAX_PATH];
    const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
    return QString::fromWCharArray(dir, int(n)) + QStringLiteral("\\hostname.exe");
}

}  // namespace

Q_DECLARE_METATYPE(Kind)

class TestWindowsPlatform : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { deleteTree(HKEY_CURRENT_USER, kTestKey); }

    // The store answers as frmAbout's lookup expects it to, value type by value type.
    void registryStore_values_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<quint32>("type");
        QTest::addColumn<QString>("text");  // up to the first NUL of the buffer
        QTest::addColumn<quint32>("number");

        QTest::newRow("text") << Kind::Text << QStringLiteral("C:\\Tools\\msinfo32.exe") << true << 1u
                              << QStringLiteral("C:\\Tools\\msinfo32.exe") << 0u;
        QTest::newRow("text beyond Latin-1") << Kind::Text << QStringLiteral("C:\\\u0418\u043d\u0444\u043e.exe") << true
                                             << 1u << QStringLiteral("C:\\\u0418\u043d\u0444\u043e.exe") << 0u;
        QTest::newRow("empty text") << Kind::Text << QString() << true << 1u << QString() << 0u;
        QTest::newRow("longest text that fits")
            << Kind::Text << QString(1023, u'x') << true << 1u << QString(1023, u'x') << 0u;
        QTest::newRow("text too long for the buffer")
            << Kind::Text << QString(1024, u'x') << false << 0u << QString() << 0u;
        QTest::newRow("number") << Kind::Number << QStringLiteral("4294967295") << true << 4u << QString()
                                << 4294967295u;
        QTest::newRow("other type") << Kind::Binary << QStringLiteral("zz") << true << 3u << QString() << 0u;
        QTest::newRow("missing value") << Kind::KeyOnly << QString() << false << 0u << QString() << 0u;
    }
    void registryStore_values()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, stored);
        QFETCH(bool, ok);
        QFETCH(quint32, type);
        QFETCH(QString, text);
        QFETCH(quint32, number);

        HKEY k = createKey(HKEY_CURRENT_USER, kTestKey);
        QVERIFY(k);
        const QString name = QStringLiteral("Value");
        if (kind == Kind::Text) {
            QVERIFY(setText(k, name, stored));
        } else if (kind == Kind::Number) {
            const DWORD n = stored.toUInt();
            QVERIFY(setValue(k, name, REG_DWORD, &n, sizeof n));
        } else if (kind == Kind::Binary) {
            QVERIFY(setValue(k, name, REG_BINARY, "zz", 2));
        } else if (kind == Kind::KeyOnly) {
            QVERIFY(setText(k, QStringLiteral("Other"), QStringLiteral("x")));
        }
        RegCloseKey(k);

        RegistryConfigStore store;
        const std::optional<quintptr> key = store.openKey(kCurrentUser, kTestKey, ConfigStore::ReadAccess);
        QVERIFY(key);
        quint32 gotType = 0;
        quint32 gotNumber = 0;
        QString buffer(1024, QChar(0));
        QCOMPARE(store.queryValue(*key, name, 1024, gotType, buffer, gotNumber), ok);
        store.closeKey(*key);
        if (!ok)
            return;
        QCOMPARE(gotType, type);
        if (type == ConfigStore::TypeText) {
            QCOMPARE(buffer.size(), 1024);
            QCOMPARE(buffer.left(buffer.indexOf(QChar(0))), text);
        } else if (type == ConfigStore::TypeNumber) {
            QCOMPARE(gotNumber, number);
        } else {
            QCOMPARE(buffer, QString(1024, QChar(0)));  // left as it was
        }
    }

    void registryStore_missingKeyDoesNotOpen()
    {
        RegistryConfigStore store;
        QVERIFY(!store.openKey(kCurrentUser, kTestKey + QStringLiteral("\\No such key"), ConfigStore::ReadAccess));
        QVERIFY(!store.openKey(ConfigStore::LocalMachine, QStringLiteral("SOFTWARE\\Kolvane tests\\No such key"),
                               ConfigStore::ReadAccess));
    }

    // The machine's keys open for reading: HKEY_LOCAL_MACHINE is sign-extended in a 64-bit
    // handle, and a wrong root would fail here.
    void registryStore_readsTheMachineKeys()
    {
        RegistryConfigStore store;
        const std::optional<quintptr> key =
            store.openKey(ConfigStore::LocalMachine, QStringLiteral("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"),
                          ConfigStore::ReadAccess);
        QVERIFY(key);
        quint32 type = 0;
        quint32 number = 0;
        QString buffer(1024, QChar(0));
        QVERIFY(store.queryValue(*key, QStringLiteral("SystemRoot"), 1024, type, buffer, number));
        store.closeKey(*key);
        QCOMPARE(type, ConfigStore::TypeText);
        QVERIFY2(buffer.startsWith(QStringLiteral("C:\\"), Qt::CaseInsensitive), qPrintable(buffer.left(40)));
    }

    void loginName_isTheAccountName()
    {
        QtWindowLayer layer;
        const QString name = layer.loginName();
        QVERIFY(!name.isEmpty());
        QCOMPARE(name.toLower(), qEnvironmentVariable("USERNAME").toLower());
    }

    // System Info through the real registry and the real program start.
    void sysInfo_data()
    {
        QTest::addColumn<QString>("path");      // the PATH value; "<none>": absent
        QTest::addColumn<bool>("folderValue");  // MSINFO names a folder holding MSINFO32.EXE
        QTest::addColumn<bool>("message");

        QTest::newRow("PATH names a program") << harmlessProgram() << false << false;
        QTest::newRow("PATH names no program") << QStringLiteral("C:\\No such folder\\msinfo32.exe") << false << true;
        QTest::newRow("folder holds MSINFO32.EXE") << QStringLiteral("<none>") << true << false;
        QTest::newRow("neither value") << QStringLiteral("<none>") << false << true;
    }
    void sysInfo()
    {
        QFETCH(QString, path);
        QFETCH(bool, folderValue);
        QFETCH(bool, message);

        const QString key = frmAbout::sysInfoKey();
        const QString locationKey = frmAbout::sysInfoLocationKey();
        SavedValue savedPath(key, frmAbout::sysInfoValue());
        SavedValue savedFolder(locationKey, frmAbout::sysInfoLocationValue());
        QTemporaryDir folder;
        QVERIFY(folder.isValid());

        HKEY k = createKey(HKEY_LOCAL_MACHINE, key);
        if (!k)
            QSKIP("the machine's registry is not writable by this account (run as an administrator, or under Wine)");
        const std::wstring pathName = frmAbout::sysInfoValue().toStdWString();
        if (path == QStringLiteral("<none>"))
            RegDeleteValueW(k, pathName.c_str());
        else
            QVERIFY(setText(k, frmAbout::sysInfoValue(), path));
        RegCloseKey(k);

        k = createKey(HKEY_LOCAL_MACHINE, locationKey);
        QVERIFY(k);
        const std::wstring folderName = frmAbout::sysInfoLocationValue().toStdWString();
        if (folderValue) {
            QVERIFY(QFile::copy(harmlessProgram(), folder.filePath(QStringLiteral("MSINFO32.EXE"))));
            QVERIFY(setText(k, frmAbout::sysInfoLocationValue(), nativePath(folder.path())));
        } else {
            RegDeleteValueW(k, folderName.c_str());
        }
        RegCloseKey(k);

        RecordingLayer layer;
        frmAbout about(layer, nullptr);
        about.StartSysInfo();
        QCOMPARE(layer.messages, message ? QStringList{QStringLiteral("System Information Is Unavailable At This Time")}
                                         : QStringList());
    }
};

KOLVANE_TEST_MAIN(TestWindowsPlatform)
#include "test_windows_platform.moc"
