#pragma once

#include <functional>
#include <memory>
#include <vector>

class OrderList;

// The benchmarks of a list of orders (the appliances in repair, the
// delivered ones) on the generated file (see support/generator.h): opening
// it, a cell filter on a column of each type and the name search, against
// the bare SQLCipher C API doing the same reads on the same file
// ("<measure>/bare" first, then "<measure>/ours" with the ratio ours/bare as
// a counter). A table of every figure follows the benchmarks.
//
// What the list must read is the bare side's work: the keys of the rows in
// the list's order, the screen of rows at the last row (where the list
// stands after a refresh) or at the row found, and the current row. The list
// side adds its widgets (building them, the heading, the count, the grid's
// rows and current row): that is the measure with the target. Painting the
// window afterwards costs the same few milliseconds whatever the rows (text
// shaping and drawing of a screenful of cells); it is shown apart, in the
// rows "..., painted", which add it to the operation.
namespace ListBench {

// A column of each kind, the field it filters and the order of its filter.
struct FilterColumn {
    const char* heading;
    const char* field;
    const char* kind;
    const char* order;   // the filtered list's ORDER BY
};

struct ListSetup {
    const char* table;
    std::vector<FilterColumn> columns;
    // The row the filters start from (a row well inside the table that holds
    // a value in every filtered column): a statement returning its rowid.
    const char* startRowSql;
    // Name prefixes to search: one of many names, one that no name has.
    std::vector<const char*> prefixes;
    // A new list window on the program folder (the generated file's copy).
    std::function<std::unique_ptr<OrderList>()> make;
};

// Registers the benchmarks "open", "filter" and "search" of the list.
void registerAll(const ListSetup& setup);

}
