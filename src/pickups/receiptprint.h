#pragma once

// Printing a pickup receipt: shows the receipt's print window modally for the
// receipt named by IdRetiradaAtual and returns when it has closed.
namespace ReceiptPrint {
void show();
}
