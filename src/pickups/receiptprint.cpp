#include "receiptprint.h"

namespace ReceiptPrint {

void show() {
    // The receipt's print window opens here once printing is part of the
    // program.
}

}
