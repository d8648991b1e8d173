#ifndef VL_SUPPORT_ROWNAME_H
#define VL_SUPPORT_ROWNAME_H

#include <gtest/gtest.h>
#include <string>
#include <tuple>

// Names a parameterised GoogleTest case after the first element of its tuple or pair.
struct RowName
{
    template<typename Row>
    std::string operator()(const testing::TestParamInfo<Row>& info) const
    {
        return std::get<0>(info.param);
    }
};

#endif
