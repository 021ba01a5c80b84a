#pragma once

#include "ui/WindowLayer.h"

#include <QList>
#include <QMap>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QWidget>
#include <deque>
#include <functional>

namespace kolvane::test {

// A configuration store held in memory: keys by path, values by name.
class FakeConfigStore : public ConfigStore {
public:
    struct Value {
        quint32 type = TypeText;
        QString text;
        quint32 number = 0;
    };
    void setText(const QString& key, const QString& name, const QString& text);
    void setNumber(const QString& key, const QString& name, quint32 number);
    void setValue(const QString& key, const QString& name, const Value& value);

    std::optional<quintptr> openKey(quint32 root, const QString& keyName, quint32 access) override;
    bool queryValue(quintptr key, const QString& valueName, int bufferChars, quint32& type, QString& buffer,
                    quint32& number) override;
    void closeKey(quintptr key) override;

    QList<QPair<quint32, QString>> opened;  // every open request, in order
    QList<quint32> accesses;                // the access rights of each, in the same order
    int openKeys = 0;                       // opened and not yet closed

private:
    QMap<QString, QMap<QString, Value>> m_keys;
    QList<QString> m_handles;
};

// The window layer of the tests: it answers from a script and records every call. A
// dialog that nobody scripted fails the running test instead of waiting for a user.
class ScriptedWindowLayer : public WindowLayer {
public:
    struct Message {
        QString text;
        QString caption;
        MessageIcon icon = MessageIcon::None;
    };
    struct FileRequest {
        bool save = false;
        QString title;
        QString filter;
        QString defaultSuffix;
    };

    // ---- the script
    // The path the user types; a save dialog adds its default suffix as the real ones do.
    void answerFile(const QString& path) { m_fileAnswers.push_back(path); }
    void cancelFile() { m_fileAnswers.push_back(std::nullopt); }
    // The next modal dialog is handed to `handler`, which fills it and presses its buttons.
    void answerModal(std::function<void(QDialog*)> handler) { m_modalAnswers.push_back(std::move(handler)); }
    void answerPrint(bool ok) { m_printAnswers.push_back(ok); }
    // The next question is answered with its first (true) or its second button.
    void answerQuestion(bool accept) { m_questionAnswers.push_back(accept); }
    // Called at each round of pending events, after the round: whatever a timer or a
    // queued request could do while a command yields.
    std::function<void(int round)> onPendingEvents;
    // Called for each message box as it is shown (to act while it is "open").
    std::function<void(const Message&)> onMessage;

    // ---- what happened
    QList<Message> messages;
    QList<FileRequest> fileRequests;
    QList<QStringList> questions;  // text, first button, second button
    QStringList printRequests;
    QList<QPair<QPointer<QWidget>, bool>> topMostCalls;
    QStringList startedPrograms;
    QStringList unexpected;
    int pendingEventRounds = 0;
    // Every call in order: "message", "question", "open", "save", "print", "events", "topmost on",
    // "topmost off", "modal", "start".
    QStringList callLog;

    // ---- the platform's answers
    QString login = QStringLiteral("operator");
    FakeConfigStore store;
    QSet<QString> existingFiles;
    QSet<QString> startablePrograms;
    bool processEventsForReal = true;

    // The texts of the message boxes shown so far; forgets them.
    QStringList takeMessages();
    // True when no unscripted dialog was met and every message was read; otherwise says
    // what was left over.
    bool isClean(QString* why = nullptr) const;
    bool hasUnusedAnswers() const
    {
        return !m_fileAnswers.empty() || !m_modalAnswers.empty() || !m_printAnswers.empty()
               || !m_questionAnswers.empty();
    }

    void messageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override;
    bool question(QWidget* owner, const QString& text, const QString& accept, const QString& refuse) override;
    std::optional<QString> openFileName(QWidget* owner, const QString& title, const QString& filter) override;
    std::optional<QString> saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                        const QString& defaultSuffix) override;
    bool printDialog(QWidget* owner, const QString& title, int flags) override;
    void processPendingEvents() override;
    qint32 setTopMost(QWidget* window, bool onTop) override;
    QMargins frameMargins(QWidget* window) override { return qtFrameMargins(window); }
    void showModal(QDialog* dialog) override;
    QString loginName() override { return login; }
    ConfigStore& configStore() override { return store; }
    bool fileExists(const QString& path) override { return existingFiles.contains(path); }
    bool startProgram(const QString& path) override;

private:
    std::optional<QString> nextFile(bool save, const QString& title, const QString& filter, const QString& suffix);
    void fail(const QString& what);

    std::deque<std::optional<QString>> m_fileAnswers;
    std::deque<std::function<void(QDialog*)>> m_modalAnswers;
    std::deque<bool> m_printAnswers;
    std::deque<bool> m_questionAnswers;
};

}  // namespace kolvane::test
