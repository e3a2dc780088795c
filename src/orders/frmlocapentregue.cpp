#include "frmlocapentregue.h"

#include "store/sqldialect.h"

namespace {

QString g_lastSearch;
const QString Title = QStringLiteral("Localizar Ordem de Serviço de Aparelho Entregue");

} // namespace

FrmLocApEntregue::FrmLocApEntregue(RecordCursor* listCursor, QWidget* parent)
    : ApplianceSearch({QStringLiteral("FrmLocApEntregue"),
                       QStringLiteral("Localizar Ordem de Serviço de Aparelho já Entregue"), Title,
                       QStringLiteral("Localizar Aparelho já entregue pela Ordem de Serviço"), &g_lastSearch},
                      parent),
      m_list(listCursor) {
    Form_Load();
}

QString FrmLocApEntregue::rememberedSearch() { return g_lastSearch; }

bool FrmLocApEntregue::find(const QString& criterion) {
    if (!m_list || !m_list->isOpen()) return false;
    if (m_list->findFirst(criterion)) {
        accept();
        return true;
    }
    m_list->refresh();
    m_list->moveLast();
    return false;
}

void FrmLocApEntregue::searchOrder(qint64 os) {
    if (!find(QStringLiteral("OS = %1").arg(os))) orderNotFound();
}

void FrmLocApEntregue::searchSerial(const QString& serial) {
    if (!find(QStringLiteral("NumSerie = ") + SqlDialect::quote(serial))) serialNotFound();
}
