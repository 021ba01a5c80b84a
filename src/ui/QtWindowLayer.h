#pragma once

#include "ui/WindowLayer.h"

#include <memory>

namespace kolvane {

// The window layer of the running program, on Qt.
class QtWindowLayer : public WindowLayer {
public:
    QtWindowLayer();
    ~QtWindowLayer() override;

    void messageBox(QWidget* owner, const QString& text, const QString& caption, MessageIcon icon) override;
    bool question(QWidget* owner, const QString& text, const QString& accept, const QString& refuse) override;
    std::optional<QString> openFileName(QWidget* owner, const QString& title, const QString& filter) override;
    std::optional<QString> saveFileName(QWidget* owner, const QString& title, const QString& filter,
                                        const QString& defaultSuffix) override;
    bool printDialog(QWidget* owner, const QString& title, int flags) override;
    void processPendingEvents() override;
    qint32 setTopMost(QWidget* window, bool onTop) override;
    QMargins frameMargins(QWidget* window) override;
    void showModal(QDialog* dialog) override;
    QString loginName() override;
    ConfigStore& configStore() override;
    bool fileExists(const QString& path) override;
    bool startProgram(const QString& path) override;

private:
    std::unique_ptr<ConfigStore> m_store;
};

// "All Files (*.kvs)|*.kvs" -> "All Files (*.kvs) (*.kvs)": Qt's filter form.
QString qtFilterFromPipes(const QString& filter);

}  // namespace kolvane
