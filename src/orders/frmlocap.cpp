#include "frmlocap.h"

#include "frmmanutencao.h"
#include "store/programfolder.h"
#include "store/sqldialect.h"
#include "ui/errormessage.h"
#include "ui/numbers.h"

namespace {

QString g_lastSearch;
const QString Title = QStringLiteral("Localizar Aparelho em Manutenção");

// A search reads only the rows its criterion names: the cursor is opened on them.
bool findRows(RecordCursor& c, const QString& table, const QString& criterion) {
    c.setRecordSource(QStringLiteral("SELECT * FROM %1 WHERE %2").arg(table, criterion));
    c.refresh();
    return c.findFirst(criterion);
}

} // namespace

FrmLocAp::FrmLocAp(FrmManutencao* list, QWidget* parent)
    : ApplianceSearch({QStringLiteral("FrmLocAp"), Title, Title, Title, &g_lastSearch}, parent), m_list(list) {
    try {
        const QString path = ProgramFolder::databasePath();
        DataApEntregue.open(path, QStringLiteral("TblApEntregues"));
        DataMnt.open(path, QStringLiteral("TblManutencao"));
    } catch (const std::exception& e) {
        // The searches report the closed cursors again; the dialog can still be closed.
        ShowError({QStringLiteral("Não foi possível abrir a lista de Aparelhos.")}, ErrorInfo::from(e),
                  QStringLiteral("%1 %2"), Title);
    }
    Form_Load();
}

QString FrmLocAp::rememberedSearch() { return g_lastSearch; }

void FrmLocAp::showInList(const QString& criterion) {
    // A list showing a filter that leaves the order out stays where it is.
    if (m_list) m_list->dataFrmApMnt().findFirst(criterion);
    accept();
}

void FrmLocAp::searchOrder(qint64 os) {
    const QString mnt = QStringLiteral("OS = %1").arg(os);
    if (findRows(DataMnt, QStringLiteral("TblManutencao"), mnt)) {
        showInList(mnt);
        return;
    }
    if (findRows(DataApEntregue, QStringLiteral("TblApEntregues"), QStringLiteral("Os = %1").arg(os))) {
        say(QStringLiteral("JÁ FOI DADO SAÍDA NESTE APARELHO\rEm:") +
                Numbers::shortDate(DataApEntregue.date(QStringLiteral("DataSaida"))) + QStringLiteral("\rPor: ") +
                DataApEntregue.text(QStringLiteral("OperadorSaida")),
            MsgIcon::Exclamation);
        return;
    }
    orderNotFound();
}

void FrmLocAp::searchSerial(const QString& serial) {
    const QString criterion = QStringLiteral("NumSerie = ") + SqlDialect::quote(serial);
    if (!findRows(DataMnt, QStringLiteral("TblManutencao"), criterion)) {
        serialNotFound();
        return;
    }
    showInList(criterion);
}
