#include "operatorcontrols.h"

#include "store/dberror.h"
#include "store/programfolder.h"
#include "store/recordcursor.h"
#include "ui/errormessage.h"
#include "ui/widgets.h"

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

void OperatorControls::buildOperatorControls(QDialog* window, const Places& places, const OperatorCheckConfig& row) {
    TxtOperador = Widgets::lineEdit(places.fieldParent, QStringLiteral("TxtOperador"), places.field);
    BtOk = Widgets::button(window, places.okName, places.okCaption, places.okTip, places.ok);
    BtFechar = Widgets::button(window, QStringLiteral("BtFechar"), QStringLiteral("&Cancelar"), places.cancelTip,
                               places.cancel);
    QWidget::setTabOrder(TxtOperador, BtOk);
    QWidget::setTabOrder(BtOk, BtFechar);

    DataOperador = new RecordCursor(window);
    DataOperador->setObjectName(QStringLiteral("DataOperador"));
    // After the buttons: the check finds the ones its row guards by name.
    m_check = new ValidaSenhaOperador(TxtOperador, DataOperador, row, window);

    QObject::connect(BtOk, &QPushButton::clicked, window, [this] { BtOk_Click(); });
    QObject::connect(BtFechar, &QPushButton::clicked, window, [this] { BtFechar_Click(); });
}

bool OperatorControls::openOperatorCursor() {
    try {
        DataOperador->open(ProgramFolder::databasePath(), QStringLiteral("TblOperador"),
                           QString::fromUtf8(ConnectWithPassword));
        return true;
    } catch (const DbError& e) {
        ShowError({QStringLiteral("Não foi possível abrir o Cadastro de Operadores!"),
                   QStringLiteral("Feche esta janela e tente novamente; se o Problema persistir, "
                                  "Contacte o Suporte Técnico.")},
                  ErrorInfo::from(e), QStringLiteral("%1_%2_%3"), m_check->config().title);
        TxtOperador->setEnabled(false);
        return false;
    }
}
