// Readable test names from a case table's Name field (gtest allows letters, digits and '_').
#pragma once
#include <cctype>
#include <string>

#include <gtest/gtest.h>

struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const
    {
        std::string name;
        for (const char c : std::string(info.param.Name))
            name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name + "_" + std::to_string(info.index);
    }
};
