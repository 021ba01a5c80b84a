#pragma once

#include <QMargins>
#include <QString>
#include <QtGlobal>
#include <optional>

class QDialog;
class QWidget;

namespace kolvane {

class ConfigStore;

enum class MessageIcon { None, Information };

// Everything the program asks of the platform that blocks, shows a system dialog or
// reaches outside the process. Windows get it through their constructors; the real one
// wraps Qt, the tests' one answers from a script and records every call.
class WindowLayer {
public:
    virtual ~WindowLayer() = default;

    // Modal message box with an OK button only. An empty caption means the application title.
    virtual void messageBox(QWidget* owner, const QString& text, const QString& caption = QString(),
                            MessageIcon icon = MessageIcon::None) = 0;

    // Modal question in a message box titled with the application title: `accept` is the
    // default button (Enter), `refuse` the other (also Esc). True when `accept` was chosen.
    virtual bool question(QWidget* owner, const QString& text, const QString& accept, const QString& refuse) = 0;

    // Open/save file dialogs. `filter` uses the "description|pattern" form. No overwrite
    // prompt, no need for the file to exist. A name typed into the save dialog without an
    // extension (no dot in the file's name) gets "." and `defaultSuffix`, as the platforms'
    // dialogs do; a name with one is kept as typed. Returns the full path chosen, or nothing
    // when the user cancels.
    virtual std::optional<QString> openFileName(QWidget* owner, const QString& title, const QString& filter) = 0;
    virtual std::optional<QString> saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                                const QString& defaultSuffix) = 0;

    // The platform's print dialog; false when cancelled. Its outcome is never used.
    virtual bool printDialog(QWidget* owner, const QString& title, int flags) = 0;

    // Runs every queued window event once, then returns.
    virtual void processPendingEvents() = 0;

    // Puts a top-level window into (true) or out of (false) the always-on-top band.
    // Non-zero when the platform took the request.
    virtual qint32 setTopMost(QWidget* window, bool onTop) = 0;

    // The frame the system draws around a top-level window, title bar included, as far as it
    // extends beyond the window's inside.
    virtual QMargins frameMargins(QWidget* window) = 0;

    // Shows a dialog modally, owned by its parent; returns once it is hidden or closed.
    virtual void showModal(QDialog* dialog) = 0;

    // The login name of the user running the program, or "" when the platform has none.
    virtual QString loginName() = 0;

    // The machine-wide configuration store (read only here).
    virtual ConfigStore& configStore() = 0;

    virtual bool fileExists(const QString& path) = 0;

    // Starts a program by its full path in a normal, focused window, without waiting.
    virtual bool startProgram(const QString& path) = 0;
};

// A registry-like machine-wide store: keys below predefined roots, typed named values.
class ConfigStore {
public:
    static constexpr quint32 LocalMachine = 0x80000002u;  // HKEY_LOCAL_MACHINE
    static constexpr quint32 AllAccess = 0x2003Fu;        // KEY_ALL_ACCESS
    static constexpr quint32 ReadAccess = 0x20019u;       // KEY_READ
    static constexpr quint32 TypeText = 1;                // REG_SZ
    static constexpr quint32 TypeNumber = 4;              // REG_DWORD

    virtual ~ConfigStore() = default;

    // Opens `keyName` below `root`; returns a handle, or nothing when it cannot be opened.
    virtual std::optional<quintptr> openKey(quint32 root, const QString& keyName, quint32 access) = 0;

    // Reads a value into a buffer of `bufferChars` characters. On success sets `type` and
    // fills `buffer`: for text, the characters (a text of bufferChars or more does not fit
    // and fails); for a number, its 4 bytes in `number`. False when missing or too long.
    virtual bool queryValue(quintptr key, const QString& valueName, int bufferChars, quint32& type, QString& buffer,
                            quint32& number) = 0;

    virtual void closeKey(quintptr key) = 0;
};

// The frame around a top-level window as Qt reports it: nothing until the window is framed.
QMargins qtFrameMargins(const QWidget* window);

// The name a save dialog returns, with "." and `suffix` added when the file's name has no dot
// and is not a folder. Qt's dialog does it by itself, a platform's dialog may not.
QString withDefaultSuffix(const QString& path, const QString& suffix);

}  // namespace kolvane
