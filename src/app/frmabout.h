#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about box: the program's title, version and purpose, the maker's
// e-mail address and the program's web address as links (the mail program
// and the web browser of the desktop), and a button that starts the
// desktop's system-information program.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // "Versão " + major + "." + minor + "." ("Versão 1.0.").
    static QString versionText();

    void Form_Load();
    void Form_MouseMove();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void LblEmail_Click();
    void LblEmail_MouseMove();
    void LblSite_Click();
    void LblSite_MouseMove();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* link(const QString& name, const QString& text, const QRect& place);
    void emphasise(QLabel* label, bool on);
    void markVisited(QLabel* label);

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* LblEmail = nullptr;
    QLabel* LblSite = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};
