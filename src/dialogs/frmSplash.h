#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QTimer;

namespace kolvane {

class Label;
class WindowLayer;

// The first window of a run: logo, product name and version. It stays on top until it
// closes itself, 4 seconds after it loaded or at once when the operator clicks it.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    explicit frmSplash(WindowLayer& layer, QWidget* parent = nullptr);

    void Form_Load();
    void Form_Unload();
    // Click on the window, the frame or one of its labels and the logo: close at once.
    void fraMainFrame_Click();
    void timSplash_Timer();

    QFrame* fraMainFrame = nullptr;
    QLabel* picLogo = nullptr;
    Label* lblProductName = nullptr;
    Label* lblVersion = nullptr;
    Label* lblPlatform = nullptr;
    Label* lblCopyright = nullptr;
    Label* lblCompany = nullptr;
    Label* Label1 = nullptr;  // the maker's contact address; a click on it does nothing
    Label* lblCompanyProduct = nullptr;
    Label* lblLicenseTo = nullptr;
    Label* lblWarning = nullptr;  // a click on it does nothing
    QTimer* timSplash = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    WindowLayer& m_layer;
    bool m_unloaded = false;
};

// The splash logo, drawn by the program itself: 364 x 292 pixels.
QPixmap splashLogo();

}  // namespace kolvane
