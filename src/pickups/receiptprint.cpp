#include "receiptprint.h"

#include "printing/frmimpretirada.h"
#include "ui/windowhost.h"

namespace ReceiptPrint {

void show() { WindowHost::showModal(new FrmImpRetirada); }

}
