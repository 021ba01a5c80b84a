#include "support/ScriptedWindowLayer.h"

#include "net/AppInfo.h"

#include <QCoreApplication>
#include <QDialog>
#include <QTest>

namespace kolvane::test {

// ---------------------------------------------------------------- config store

void FakeConfigStore::setText(const QString& key, const QString& name, const QString& text)
{
    Value v;
    v.type = TypeText;
    v.text = text;
    setValue(key, name, v);
}

void FakeConfigStore::setNumber(const QString& key, const QString& name, quint32 number)
{
    Value v;
    v.type = TypeNumber;
    v.number = number;
    setValue(key, name, v);
}

void FakeConfigStore::setValue(const QString& key, const QString& name, const Value& value)
{
    m_keys[key.toLower()][name.toLower()] = value;
}

std::optional<quintptr> FakeConfigStore::openKey(quint32 root, const QString& keyName, quint32 access)
{
    opened << qMakePair(root, keyName);
    accesses << access;
    if (root != LocalMachine || !m_keys.contains(keyName.toLower()))
        return std::nullopt;
    m_handles << keyName.toLower();
    ++openKeys;
    return quintptr(m_handles.size());
}

bool FakeConfigStore::queryValue(quintptr key, const QString& valueName, int bufferChars, quint32& type,
                                 QString& buffer, quint32& number)
{
    if (key == 0 || key > quintptr(m_handles.size()))
        return false;
    const auto& values = m_keys[m_handles[int(key) - 1]];
    const auto it = values.find(valueName.toLower());
    if (it == values.end())
        return false;
    // A text needs room for its terminating character as well.
    if (it->type == TypeText && it->text.size() + 1 > bufferChars)
        return false;
    type = it->type;
    if (it->type == TypeText)
        buffer = it->text + QChar(0) + QString(bufferChars - it->text.size() - 1, QChar(0));
    else
        number = it->number;
    return true;
}

void FakeConfigStore::closeKey(quintptr)
{
    --openKeys;
}

// ---------------------------------------------------------------- window layer

void ScriptedWindowLayer::fail(const QString& what)
{
    unexpected << what;
    QTest::qFail(qPrintable(QStringLiteral("unscripted dialog: ") + what), __FILE__, __LINE__);
}

QStringList ScriptedWindowLayer::takeMessages()
{
    QStringList out;
    for (const Message& m : messages)
        out << m.text;
    messages.clear();
    return out;
}

bool ScriptedWindowLayer::isClean(QString* why) const
{
    QStringList problems = unexpected;
    for (const Message& m : messages)
        problems << QStringLiteral("unread message: ") + m.text;
    if (hasUnusedAnswers())
        problems << QStringLiteral("scripted answers left unused");
    if (why)
        *why = problems.join(QStringLiteral("; "));
    return problems.isEmpty();
}

void ScriptedWindowLayer::messageBox(QWidget*, const QString& text, const QString& caption, MessageIcon icon)
{
    callLog << QStringLiteral("message");
    Message m{text, caption.isEmpty() ? appTitle() : caption, icon};
    messages << m;
    if (onMessage)
        onMessage(m);
}

bool ScriptedWindowLayer::question(QWidget*, const QString& text, const QString& accept, const QString& refuse)
{
    callLog << QStringLiteral("question");
    questions << QStringList{text, accept, refuse};
    if (m_questionAnswers.empty()) {
        fail(QStringLiteral("question \"%1\"").arg(text.left(40)));
        return false;
    }
    const bool answer = m_questionAnswers.front();
    m_questionAnswers.pop_front();
    return answer;
}

std::optional<QString> ScriptedWindowLayer::nextFile(bool save, const QString& title, const QString& filter,
                                                     const QString& suffix)
{
    callLog << (save ? QStringLiteral("save") : QStringLiteral("open"));
    fileRequests << FileRequest{save, title, filter, suffix};
    if (m_fileAnswers.empty()) {
        fail(QStringLiteral("file dialog \"%1\"").arg(title));
        return std::nullopt;
    }
    const bool cancelled = !m_fileAnswers.front().has_value();
    const QString path = cancelled ? QString() : *m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (cancelled)
        return std::nullopt;
    return save ? withDefaultSuffix(path, suffix) : path;
}

std::optional<QString> ScriptedWindowLayer::openFileName(QWidget*, const QString& title, const QString& filter)
{
    return nextFile(false, title, filter, QString());
}

std::optional<QString> ScriptedWindowLayer::saveFileName(QWidget*, const QString& title, const QString& filter,
                                                         const QString& defaultSuffix)
{
    return nextFile(true, title, filter, defaultSuffix);
}

bool ScriptedWindowLayer::printDialog(QWidget*, const QString& title, int)
{
    callLog << QStringLiteral("print");
    printRequests << title;
    if (m_printAnswers.empty()) {
        fail(QStringLiteral("print dialog \"%1\"").arg(title));
        return false;
    }
    const bool ok = m_printAnswers.front();
    m_printAnswers.pop_front();
    return ok;
}

void ScriptedWindowLayer::processPendingEvents()
{
    callLog << QStringLiteral("events");
    ++pendingEventRounds;
    if (processEventsForReal)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (onPendingEvents)
        onPendingEvents(pendingEventRounds);
}

qint32 ScriptedWindowLayer::setTopMost(QWidget* window, bool onTop)
{
    callLog << (onTop ? QStringLiteral("topmost on") : QStringLiteral("topmost off"));
    topMostCalls << qMakePair(QPointer<QWidget>(window), onTop);
    return 1;
}

void ScriptedWindowLayer::showModal(QDialog* dialog)
{
    callLog << QStringLiteral("modal");
    if (m_modalAnswers.empty()) {
        fail(QStringLiteral("modal dialog \"%1\"").arg(dialog->windowTitle()));
        dialog->reject();
        return;
    }
    auto handler = std::move(m_modalAnswers.front());
    m_modalAnswers.pop_front();
    dialog->setModal(true);
    dialog->show();
    handler(dialog);
    // Whatever the handler left open is closed, as a user would before the call returns.
    if (dialog->isVisible())
        dialog->reject();
}

bool ScriptedWindowLayer::startProgram(const QString& path)
{
    callLog << QStringLiteral("start");
    startedPrograms << path;
    return startablePrograms.contains(path);
}

}  // namespace kolvane::test
