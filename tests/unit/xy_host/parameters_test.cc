#include "host/parameters.h"

#include <gtest/gtest.h>

#include <functional>

namespace morel_xy {
namespace {

std::string MessageOf(const std::function<void()>& call) {
  try {
    call();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "<no exception>";
}

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

TEST(ParametersTest, RequiredStringRefersIntoTheParamsWithoutCopying) {
  const json params = {{"s", "text"}, {"e", ""}};
  const std::string& s = RequiredString(params, "s");
  EXPECT_EQ(&s, &params.at("s").get_ref<const std::string&>());
  EXPECT_EQ(s, "text");
  EXPECT_EQ(RequiredString(params, "e"), "");
}

// These messages reach the extension as "Exception: " responses, so they stay word for word.
TEST(ParametersTest, RequiredStringKeepsTheLibrarysErrors) {
  const json params = {{"n", 5}, {"z", nullptr}, {"o", json::object()}, {"b", true}};
  EXPECT_EQ(MessageOf([&] { RequiredString(params, "n"); }),
            "[json.exception.type_error.302] type must be string, but is number");
  EXPECT_EQ(MessageOf([&] { RequiredString(params, "z"); }),
            "[json.exception.type_error.302] type must be string, but is null");
  EXPECT_EQ(MessageOf([&] { RequiredString(params, "o"); }),
            "[json.exception.type_error.302] type must be string, but is object");
  EXPECT_EQ(MessageOf([&] { RequiredString(params, "b"); }),
            "[json.exception.type_error.302] type must be string, but is boolean");
  EXPECT_EQ(MessageOf([&] { RequiredString(params, "x"); }),
            "[json.exception.out_of_range.403] key 'x' not found");
}

// An absent "params" arrives as null; the extension has always been answered in these words,
// whatever the installed library says for its own operator[].
TEST(ParametersTest, ParamsThatAreNoObjectGiveTheTypeErrorOfTheirType) {
  const std::pair<json, const char*> cases[] = {
      {json(), "null"},     {json::array(), "array"}, {json("x"), "string"},  {json(5), "number"},
      {json(-5), "number"}, {json(2.5), "number"},    {json(true), "boolean"}};
  for (const auto& [params, type] : cases) {
    const std::string expected =
        std::string("[json.exception.type_error.305] cannot use operator[] with ") + type;
    EXPECT_EQ(MessageOf([&] { RequiredString(params, "text"); }), expected) << params;
    EXPECT_EQ(MessageOf([&] { RequiredNumber<int32_t>(params, "x"); }), expected) << params;
  }
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
