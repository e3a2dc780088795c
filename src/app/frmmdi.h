#pragma once

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <functional>

class BoundFields;
class MdiBackground;
class QAction;
class QFrame;
class DbError;
class QLabel;
class QLineEdit;
class QMenu;
class QToolBar;
class RecordCursor;
class WindowTimer;

// The main window: the frame of the list windows, with the menus, the
// toolbar, the status bar, the logo panel and the picture of the day. Making
// it is the program's start: it opens the database (or shows why it cannot
// and ends the program), counts this copy in TblConfig.Qtde and, from its
// start-up timer, runs the log-in. Closing it is the program's end: the
// question, the counter lowered and, when no copy of the program holds the
// database any more, the day's automatic copy.
//
// The program ends through programEnded(); the window is then hidden and
// ended() is true (also when the load failed, before any event loop runs).
class FrmMdi : public QMainWindow {
    Q_OBJECT
public:
    explicit FrmMdi(QWidget* parent = nullptr);
    ~FrmMdi() override;

    bool ended() const { return m_state == State::Ended; }
    int exitCode() const { return m_exitCode; }

    // The picture of the day shown as the background; empty while the
    // built-in background shows.
    QString backgroundFile() const { return m_backgroundFile; }

    // The program's web address, opened from the logo panel.
    static QString webAddress();
    // The user manual in the program folder.
    static QString manualFileName();

    // Opens a registered list window by name, first closing the lists that
    // its entry closes: each of "FrmClientes", "FrmManutencao" and
    // "FrmApEntregues" closes the other two and "FrmRetirada";
    // "FrmRetirada" closes none. A list that refuses to close (its operator
    // kept what could not be written) stays, and nothing is opened.
    void openList(const QString& name);
    // Closes a registered list window when it is open; false when it refused
    // (the operator kept it open).
    bool closeList(const QString& name);
    // The lists a list's entry closes before it opens.
    static QStringList listsClosedBy(const QString& name);

    // Menu and toolbar handlers.
    void MnuClientes_Click();
    void MnuNvCliente_Click();
    void MnuCompRet_Click();
    void MnuConfig_Click();
    void MnuSair_Click();
    void Mnumanut_Click();
    void MnuApEntregues_Click();
    void MnuAltSenha_Click();
    void MnuCalendario_Click();
    void MnuCal_Click();
    void MnuPro_Click();
    void MnuExibirLogo_Click();
    void MnuBacup_Click();
    void MnuCascata_Click();
    void MnuHorizontal_Click();
    void MnuVertical_Click();
    void MnuSobrePrograma_Click();
    void MnuAjuda_Click();
    void ImageLogo_Click();
    void TxtSite_Click();
    void Toolbar1_ButtonClick(const QString& key);

    // Enables the entries whose windows are registered (WindowRegistry).
    void updateEntries();

    // Test seam: runs the log-in instead of FrmInicializar; returns
    // QDialog::Accepted or QDialog::Rejected. An empty runner restores the
    // log-in window. Returns the previous runner.
    using LoginRunner = std::function<int(QWidget* parent)>;
    static LoginRunner setLoginRunner(LoginRunner runner);

signals:
    // The program must end with this exit code.
    void programEnded(int code);

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class State { Loaded, Running, BackingUp, Ended };

    void buildWidgets();
    void buildMenus();
    void buildToolbar();
    void fitToolbar();
    QAction* entry(QMenu* menu, const QString& name, const QString& caption,
                   const QKeySequence& key, void (FrmMdi::*handler)(), const QString& window = {});

    bool Form_Load();
    void AbreBD();
    void closeCursors();
    void ImagemDoDia();
    void Timer1_Timer();   // start-up: the log-in
    void Timer2_Timer();   // the exit backup
    void Timer3_Timer();   // the running copies in the status bar
    void showWindow(const QString& name);
    // Closes the lists in order up to the first that refuses, which is
    // returned (nullptr when all closed).
    QWidget* closeLists(const QStringList& names);
    void arrange(int arrangement);
    void fillWindowMenu();
    // The start's failure message: the missing-file one, or the busy-file one.
    void showStartFailure(const DbError& e);
    void EncerraPrograma(int code);

    State m_state = State::Loaded;
    int m_exitCode = 0;
    QString m_backgroundFile;

    RecordCursor* DataAcesso = nullptr;
    RecordCursor* DataEmpresa = nullptr;
    BoundFields* m_empresaFields = nullptr;

    MdiBackground* m_mdi = nullptr;
    QFrame* Picture3 = nullptr;
    QLabel* ImageLogo = nullptr;
    QLabel* LblLogo[2] = {};
    QLineEdit* TxtSite = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLabel* Picture1 = nullptr;
    QLabel* Panel1 = nullptr;
    QLabel* Panel2 = nullptr;
    QToolBar* Toolbar1 = nullptr;
    QWidget* m_dateStrip = nullptr;
    int m_toolbarFullWidth = 0;   // the toolbar's width with the buttons' texts
    QMenu* MnuJanela = nullptr;
    WindowTimer* Timer1 = nullptr;
    WindowTimer* Timer2 = nullptr;
    WindowTimer* Timer3 = nullptr;

    // Entries by name ("MnuClientes") and the window each opens.
    QHash<QString, QAction*> m_entries;
    QHash<QString, QString> m_entryWindow;
    QHash<QString, QPointer<QWidget>> m_freeWindows;
};
