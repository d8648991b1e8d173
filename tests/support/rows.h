#ifndef VL_SUPPORT_ROWS_H
#define VL_SUPPORT_ROWS_H

#include <QTest>

// A data-driven QTest case over a table of rows that have a `name`:
// `x_data() { addRows(table); }`, then `const Row& row = currentRow(table);`
// in `x()`.
template<typename Row, size_t count>
void addRows(const Row (&rows)[count])
{
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < count; ++i)
        QTest::newRow(rows[i].name) << int(i);
}

template<typename Row, size_t count>
const Row& currentRow(const Row (&rows)[count])
{
    QFETCH(int, row);
    return rows[row];
}

#endif
