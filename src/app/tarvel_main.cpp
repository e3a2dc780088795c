// Until the main window exists the program opens the database and reports
// what it found.
#include "store/database.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QString text;
    try {
        RecordCursor config;
        config.open(ProgramFolder::databasePath(), QStringLiteral("TblConfig"), QString::fromUtf8(ConnectWithPassword));
        RecordCursor ops;
        ops.open(ProgramFolder::databasePath(), QStringLiteral("TblOperador"));
        text = QStringLiteral("Banco de dados aberto: %1 operador(es), %2 cópia(s) em uso.")
                   .arg(ops.recordCount()).arg(config.number(QStringLiteral("Qtde")));
    } catch (const DbError& e) {
        text = e.description();
    }
    QMessageBox::information(nullptr, QStringLiteral("Tarvel"), text);
    return 0;
}
