#pragma once

#include <QDialog>
#include <functional>
#include <optional>

class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class RecordCursor;
class WindowTimer;

// The manual backup: copies the database file to a file the operator chooses
// (remembered in TblConfig.LocalBackup). Shown modally by the main window
// after it closed its own record cursors; refuses while any copy of the
// program holds the database open.
class FrmBackup : public QDialog {
    Q_OBJECT
public:
    explicit FrmBackup(QWidget* parent = nullptr);

    // The file name the choose dialog starts with.
    static QString presetName() { return QStringLiteral("Copia de Bd DedUvevaro"); }

    // Test seam for the choose dialog: gets the parent, the title, the file
    // name to start from and the filter; returns the chosen file or nullopt
    // when cancelled. An empty chooser restores the real dialog. Returns the
    // previous chooser.
    using FileChooser = std::function<std::optional<QString>(QWidget* parent, const QString& title,
                                                             const QString& startName, const QString& filter)>;
    static FileChooser setFileChooser(FileChooser chooser);

    void BtLocal_Click();
    void BtIniciar_Click();
    void BtInfo_Click();
    void BtFechar_Click();

    void done(int result) override;

private:
    void TimerBanco_Timer();   // the lock test, once
    void Timer1_Timer();       // the copy, once
    bool openConfig();
    bool refuseLiveDatabase(const QString& target);

    RecordCursor* DataConfig = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* LblLocal = nullptr;
    QPushButton* BtLocal = nullptr;
    QPushButton* BtIniciar = nullptr;
    QPushButton* BtFechar = nullptr;
    QPushButton* BtInfo = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* LblObs = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* Image2 = nullptr;
    WindowTimer* TimerBanco = nullptr;
    WindowTimer* Timer1 = nullptr;

    QString m_dialogName;   // the choose dialog's file name, kept while the window is open
};
