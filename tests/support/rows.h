#ifndef VL_SUPPORT_ROWS_H
#define VL_SUPPORT_ROWS_H

#include <QTest>
#include <tuple>

// QTest rows of structs with a `name` or name-first tuples: addRows(table) in x_data(), currentRow(table) in x().
template<typename Row>
const char* rowName(const Row& row)
{
    return row.name;
}
template<typename... Fields>
const char* rowName(const std::tuple<Fields...>& row)
{
    return std::get<0>(row);
}

template<typename Row, size_t count>
void addRows(const Row (&rows)[count])
{
    QTest::addColumn<int>("row");
    for (size_t i = 0; i < count; ++i)
        QTest::newRow(rowName(rows[i])) << int(i);
}

template<typename Row, size_t count>
const Row& currentRow(const Row (&rows)[count])
{
    QFETCH(int, row);
    return rows[row];
}

#endif
