#pragma once

#include "store/currency.h"

#include <QDate>
#include <QString>
#include <array>

class RecordCursor;

// The move of a finished service order out of the workshop: the delivered
// appliance's row of TblApEntregues, written from the order's row of
// TblManutencao and from the price window's boxes, and the deletion of the
// order's row, both in one transaction.
namespace Checkout {

// The built-in statuses and order types the checkout tests.
inline const QString Pronto = QStringLiteral("PRONTO");
inline const QString SemConserto = QStringLiteral("SEM CONSERTO");
inline const QString Orcamento = QStringLiteral("ORÇAMENTO");
inline const QString GarantiaServico = QStringLiteral("GAR. DE SERVIÇO");
inline const QString GarantiaFabrica = QStringLiteral("GAR.DE FÁBRICA");

// The service warranty a delivered appliance leaves with.
struct Warranty {
    bool garantiaDeServico = false;   // "Garantia de Serviço"
    QDate limite;                     // DATALIMITEGARANTIA
    bool operator==(const Warranty&) const = default;
};

// By the order's type and status, the warranty days of the window (`dias`,
// read by its leading whole number) and the order's earlier warranty end
// (DtLmtGr, for a warranty return):
// - a repaired estimate: today + dias, on while dias is 0 or more;
// - a repaired warranty return: the earlier end, on while dias (the days
//   left when the window opened) is 0 or more;
// - not repaired, or under factory warranty: today, off;
// - any other type, repaired: the earlier end, off.
Warranty warranty(const QString& tipo, const QString& status, const QString& dias, const QDate& dtLmtGr,
                  const QDate& today);

// One service report line of a parts row: code, quantity, identifier,
// description (trimmed, in capitals) and line value, one blank between each.
QString partsLine(const QString& cod, const QString& qtde, const QString& id, const QString& descricao,
                  const QString& vl);
// The report field of parts row 0 to 5: Relatorio0 to Relatorio4, then
// Relatorio55.
QString partsField(int row);

// What the price window hands to the checkout: its boxes as shown, the
// accepted operator and the final value it computed.
struct Exit {
    QString operadorSaida;
    QString dias;                              // the warranty days box
    std::array<QString, 6> partsLines;         // partsLine() of each row
    QString maoDeObra;                         // the labour box
    QString total;                             // the sub-total box
    QString desconto;                          // the discount box
    std::array<QString, 3> obs;                // exit observations
    Currency valorCobrado;                     // the final value as shown, to the cent
};

// Writes the delivered row of order `os` through `delivered` (a cursor on
// TblApEntregues) and deletes the order's row, in one transaction; the
// order is read inside it. Returns the new row's key. Throws DbError with
// nothing written when the order is gone (another copy of the program
// checked it out first) or any step fails.
qint64 deliver(qint64 os, RecordCursor& delivered, const Exit& exit);
// A checkout stored though its write could not be confirmed, done again:
// the window's values of `exit` are written onto the delivered row `key`
// (which `delivered` added; see RecordCursor::unconfirmedAddKey()). Throws
// DbError with nothing written when the row is gone or any step fails.
qint64 redeliver(qint64 key, RecordCursor& delivered, const Exit& exit);

}
