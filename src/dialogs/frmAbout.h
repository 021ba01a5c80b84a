#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPushButton;

namespace kolvane {

class Label;
class Shape;
class WindowLayer;

// Help > About: title, version, what the program is for, the disclaimer and the maker,
// plus a button that finds and starts the platform's system-information tool. Every
// showing builds a new one; closing it ends it.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    // `owner` is the main window: its icon becomes the dialog's, and the dialog is centred on it.
    frmAbout(WindowLayer& layer, QWidget* owner);

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // Starts the system-information tool found in the configuration store, or says that
    // it is unavailable; the dialog stays open either way.
    void StartSysInfo();

    // Reads value `SubKeyRef` of key `KeyName` below root `KeyRoot` into `KeyVal`: a text
    // up to its first NUL, a number as its decimal text, any other type leaves `KeyVal`
    // alone. False (and `KeyVal` empty) when the key or the value cannot be read.
    bool GetKeyValue(quint32 KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    QLabel* picIcon = nullptr;
    Label* lblTitle = nullptr;
    Label* Label1 = nullptr;  // the maker
    Label* Label2 = nullptr;  // the maker's contact address
    Label* lblVersion = nullptr;
    Label* lblDescription = nullptr;
    Shape* Line1[2] = {};  // white line below, grey line above: an etched separator
    Label* lblDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    // Where the system-information tool is recorded in the configuration store.
    static constexpr int kKeyBufferChars = 1024;
    static QString sysInfoKey() { return QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"); }
    static QString sysInfoValue() { return QStringLiteral("PATH"); }
    static QString sysInfoLocationKey() { return QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"); }
    static QString sysInfoLocationValue() { return QStringLiteral("MSINFO"); }
    static QString sysInfoProgram() { return QStringLiteral("\\MSINFO32.EXE"); }

private:
    WindowLayer& m_layer;
};

// The program's own 32 x 32 icon, for a main window that has none.
QPixmap fallbackAppIcon();

}  // namespace kolvane
