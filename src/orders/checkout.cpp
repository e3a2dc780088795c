#include "checkout.h"

#include "store/clock.h"
#include "store/database.h"
#include "store/recordcursor.h"
#include "ui/numbers.h"

#include <QStringList>

namespace Checkout {

Warranty warranty(const QString& tipo, const QString& status, const QString& dias, const QDate& dtLmtGr,
                  const QDate& today) {
    const qint64 days = Numbers::leadingInteger(dias);
    Warranty w{tipo == GarantiaServico && days >= 0, dtLmtGr};
    if (status == Pronto && tipo == Orcamento) w = {days >= 0, today.addDays(days)};
    if (status == SemConserto || tipo == GarantiaFabrica) w = {false, today};
    return w;
}

QString partsLine(const QString& cod, const QString& qtde, const QString& id, const QString& descricao,
                  const QString& vl) {
    return QStringList{cod, qtde, id, descricao.trimmed().toUpper(), vl}.join(QLatin1Char(' '));
}

QString partsField(int row) {
    return row == 5 ? QStringLiteral("Relatorio55") : QStringLiteral("Relatorio%1").arg(row);
}

namespace {

// The order's fields copied as stored, in the order they are written.
const QStringList CopiedBeforeExit = {
    "IdCliente", "Nome", "Endereco", "Complemento", "Bairro", "Cidade", "Estado", "Cep", "TelResidencia",
    "TelComercial", "Fax", "Celular", "Aparelho", "Marca", "Modelo", "Chassis", "NumSerie", "Tensao", "Defeito",
    "EstadoAparelho", "Acessorios", "Dpto", "Os", "DataEntrada", "HoraEntrada", "Dias"};
const QStringList CopiedAfterExit = {"Tipo", "Status", "DataConcluido", "OperadorEnt"};
const QStringList FactoryWarranty = {"Loja", "DataCompra", "NotaFiscal", "GarComplementar"};
const QStringList PaymentLines = {"Relatorio12", "Relatorio13", "Relatorio14", "Relatorio15", "Relatorio16"};

DbError orderGone() {
    return DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("O registro foi excluído por outro usuário."),
                   dbErrorSource());
}

} // namespace

namespace {

// What the price window and the warranty give a delivered row: the
// operator, the warranty, the parts and payment lines and the observations.
void setExitFields(RecordCursor& delivered, const QString& tipo, const QString& status, const QDate& dtLmtGr,
                   const QDate& day, const Exit& exit) {
    delivered.setField(QStringLiteral("OperadorSaida"), exit.operadorSaida);
    const Warranty w = warranty(tipo, status, exit.dias, dtLmtGr, day);
    delivered.setField(QStringLiteral("Garantia de Serviço"), w.garantiaDeServico);
    delivered.setField(QStringLiteral("DATALIMITEGARANTIA"), w.limite.isValid() ? QVariant(w.limite) : QVariant());
    for (int i = 0; i < int(exit.partsLines.size()); ++i) delivered.setField(partsField(i), exit.partsLines[i]);
    delivered.setField(QStringLiteral("Relatorio5"), QStringLiteral("R$") + exit.maoDeObra);
    delivered.setField(QStringLiteral("Relatorio6"), exit.total);
    delivered.setField(QStringLiteral("Relatorio7"), exit.desconto);
    delivered.setField(QStringLiteral("ValorCobrado"), QVariant::fromValue(exit.valorCobrado));
    for (int i = 0; i < int(exit.obs.size()); ++i)
        delivered.setField(QStringLiteral("Relatorio%1").arg(9 + i), exit.obs[i].trimmed());
}

// Writes the delivered row through `delivered`: the order's fields as
// `source` holds them (the order, or the delivered row a checkout stored),
// the day and time it left, and the exit; the warranty counted from
// `dtLmtGr`. Returns the row's key.
qint64 writeDelivered(RecordCursor& delivered, const RecordCursor& source, const QDateTime& left, const QDate& dtLmtGr,
                      const Exit& exit) {
    const QString tipo = source.text(QStringLiteral("Tipo"));
    const auto copy = [&](const QString& field) { delivered.setField(field, source.field(field)); };
    delivered.addNew();
    try {
        for (const QString& f : CopiedBeforeExit) copy(f);
        delivered.setField(QStringLiteral("DataSaida"), left.date());
        delivered.setField(QStringLiteral("HoraSaida"), left.time());
        for (const QString& f : CopiedAfterExit) copy(f);
        copy(QStringLiteral("Tecnico"));
        copy(QStringLiteral("Atendimento"));
        setExitFields(delivered, tipo, source.text(QStringLiteral("Status")), dtLmtGr, left.date(), exit);
        if (tipo == GarantiaFabrica)
            for (const QString& f : FactoryWarranty) copy(f);
        for (const QString& f : PaymentLines) copy(f);
    } catch (...) {
        delivered.cancelUpdate();
        throw;
    }
    return delivered.update();
}

} // namespace

qint64 deliver(qint64 os, RecordCursor& delivered, const Exit& exit) {
    Database& db = delivered.database();
    // The write lock is taken first: another copy checking the same order
    // out waits here and then finds the order gone.
    Transaction tx(db);
    RecordCursor order;
    order.open(delivered.databaseName(), QStringLiteral("SELECT * FROM TblManutencao WHERE Os = %1").arg(os));
    if (!order.hasCurrent()) throw orderGone();
    const qint64 key = writeDelivered(delivered, order, Clock::now(), order.date(QStringLiteral("DtLmtGr")), exit);

    // Exactly this order's row goes, or nothing is kept.
    if (db.execute(QStringLiteral("DELETE FROM TblManutencao WHERE Os = ?"), {os}) != 1) throw orderGone();
    tx.commit();
    return key;
}

qint64 redeliver(qint64 key, RecordCursor& delivered, const Exit& exit) {
    Transaction tx(delivered.database());
    RecordCursor row;
    row.open(delivered.databaseName(),
             QStringLiteral("SELECT * FROM TblApEntregues WHERE IdApEntregues = %1").arg(key));
    if (!row.hasCurrent()) throw orderGone();
    // The order's fields as the stored row copied them, the checkout's own
    // day and time, and the warranty from the order's earlier end (kept in
    // the row wherever the days do not set it).
    writeDelivered(delivered, row,
                   QDateTime(row.date(QStringLiteral("DataSaida")), row.time(QStringLiteral("HoraSaida"))),
                   row.date(QStringLiteral("DATALIMITEGARANTIA")), exit);
    tx.commit();
    return key;
}

}
