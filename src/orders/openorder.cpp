#include "openorder.h"

#include "store/database.h"
#include "ui/errormessage.h"

namespace OpenOrder {

DbError goneError() {
    return DbError(DbErrorCode::NoCurrentRecord, QStringLiteral("O registro foi excluído por outro usuário."),
                   dbErrorSource());
}

bool isOpen(Database& db, qint64 os) {
    return db.scalar(QStringLiteral("SELECT COUNT(*) FROM TblManutencao WHERE Os = ?"), {os}).toLongLong() > 0;
}

void requireOpen(Database& db, qint64 os) {
    if (!isOpen(db, os)) throw goneError();
}

bool goneAfterFailure(Database& db, qint64 os) {
    try {
        return !isOpen(db, os);
    } catch (const std::exception&) {
        return false;
    }
}

void showKeptFailure(const QString& task, const std::exception& error, const QString& title) {
    ShowError({task, QStringLiteral("O que foi digitado continua na janela: corrija a causa abaixo e tente novamente.")},
              ErrorInfo::from(error), QStringLiteral("%1__%2"), title);
}

void showFailure(const std::exception& error, const QString& title) {
    ShowError({QStringLiteral("É Possível que já tenha sido dado Saída neste Aparelho,")}, ErrorInfo::from(error),
              QStringLiteral("%1__%2"), title);
}

}
