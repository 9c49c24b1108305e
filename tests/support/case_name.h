// Cases of a parameterised test named by their `name` field: ctest lists
// each by what it checks, never by the bytes or addresses of its value.
#ifndef QEL_TESTS_CASE_NAME_H
#define QEL_TESTS_CASE_NAME_H

#include <gtest/gtest.h>

#include <string>

struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
        return info.param.name;
    }
};

#endif
