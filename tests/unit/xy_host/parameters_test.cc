#include "parameters.h"

#include <gtest/gtest.h>

namespace morel_xy {
namespace {

TEST(ParametersTest, NumbersTruncateAndBooleansCount) {
  const json params = {{"f", 3.9}, {"n", -3.9}, {"t", true}, {"i", 7}, {"s", "3"}};
  EXPECT_EQ(RequiredNumber<int32_t>(params, "f"), 3);
  EXPECT_EQ(RequiredNumber<int32_t>(params, "n"), -3);
  EXPECT_EQ(RequiredNumber<int32_t>(params, "t"), 1);
  EXPECT_EQ(RequiredNumber<uint32_t>(params, "i"), 7u);
  EXPECT_THROW(RequiredNumber<int32_t>(params, "s"), json::type_error);
}

TEST(ParametersTest, MissingParamsOrKeyThrowTheLibrarysErrors) {
  EXPECT_THROW(RequiredNumber<int32_t>(json(), "x"), json::type_error);
  EXPECT_THROW(RequiredNumber<int32_t>(json::array(), "x"), json::type_error);
  EXPECT_THROW(RequiredNumber<int32_t>(json::object(), "x"), json::out_of_range);
}

TEST(ParametersTest, FloatsOutsideTheTargetRangeAreRefusedNotWrapped) {
  EXPECT_THROW(RequiredNumber<int32_t>(json{{"x", 1e300}}, "x"), std::out_of_range);
  EXPECT_THROW(RequiredNumber<uint32_t>(json{{"x", -1.5}}, "x"), std::out_of_range);
  EXPECT_EQ(RequiredNumber<uint32_t>(json{{"x", -0.5}}, "x"), 0u);
  EXPECT_EQ(RequiredNumber<int32_t>(json{{"x", 2147483647.9}}, "x"), 2147483647);
}

TEST(ParametersTest, OptionalParameterFallsBackOnlyWhenAbsent) {
  EXPECT_EQ(GetOptionalParameter<std::string>(json{{"d", "2"}}, "d", ""), "2");
  EXPECT_EQ(GetOptionalParameter<std::string>(json::object(), "d", "x"), "x");
  EXPECT_EQ(GetOptionalParameter<std::string>(json(), "d", "x"), "x");
  EXPECT_EQ(GetOptionalParameter<std::string>(json::array({1}), "d", "x"), "x");
  EXPECT_THROW(GetOptionalParameter<std::string>(json{{"d", 2}}, "d", ""), json::type_error);
}

}  // namespace
}  // namespace morel_xy
