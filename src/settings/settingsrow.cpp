#include "settingsrow.h"

#include "store/recordcursor.h"
#include "ui/errormessage.h"

namespace SettingsRow {

bool moveToExact(RecordCursor& cursor, const QString& field, const QString& text, qint64 key, bool byNameToo) {
    cursor.refresh();
    const int column = cursor.fieldIndex(field);
    if (column < 0) return false;
    const auto matches = [&](int i) { return cursor.valueAt(i, column).toString() == text; };
    int found = -1;
    if (key >= 0) {
        const int i = cursor.indexOfKey(key);
        if (i >= 0 && matches(i)) found = i;
    }
    if (found < 0 && byNameToo)
        for (int i = 0; i < cursor.recordCount() && found < 0; ++i)
            if (matches(i)) found = i;
    if (found < 0) return false;
    cursor.setAbsolutePosition(found);
    return cursor.hasCurrent();
}

void showGone(const QString& title) {
    MsgBox(QStringLiteral("Este Registro não foi encontrado no Banco de Dados.\r"
                          "Ele pode ter sido Excluído por outro Operador; nada foi alterado."),
           MsgButtons::Ok, MsgIcon::Information, std::nullopt, title);
}

void showError(const QString& what, const std::exception& error, const QString& title) {
    ShowError({what, QStringLiteral("Se o Problema persistir, Contacte o Suporte Técnico")}, ErrorInfo::from(error),
              QStringLiteral("%1_%2_%3"), title);
}

}
