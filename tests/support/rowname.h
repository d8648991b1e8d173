#ifndef VL_SUPPORT_ROWNAME_H
#define VL_SUPPORT_ROWNAME_H

#include <gtest/gtest.h>
#include <string>
#include <tuple>

// The name of a table's row: its `name`, or its first element.
template<typename Row>
std::string rowName(const Row& row)
{
    return row.name;
}
template<typename... Fields>
std::string rowName(const std::tuple<Fields...>& row)
{
    return std::get<0>(row);
}
template<typename Name, typename Value>
std::string rowName(const std::pair<Name, Value>& row)
{
    return row.first;
}

// Names a parameterised GoogleTest case after its row.
struct RowName
{
    template<typename Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return rowName(info.param);
    }
};

#endif
