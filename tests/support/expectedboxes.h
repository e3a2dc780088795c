#pragma once

#include "ui/messagebox.h"

#include <QString>
#include <functional>
#include <vector>

// One message box a scenario must show: a part of its text and the answer
// the operator gives.
struct ExpectedBox {
    QString text;
    MsgAnswer answer = MsgAnswer::Ok;
};

// Runs `act` answering its message boxes in order; expects exactly the boxes
// of `expected`, each holding its text. Returns the boxes shown, for the
// caller's own checks (icons, default buttons).
QList<ShownBox> expectBoxes(const std::vector<ExpectedBox>& expected, const std::function<void()>& act);
