#include "platform/environment.h"

#include <gtest/gtest.h>

#include "common/temp_folder.h"

namespace {

using testing_support::ScopedEnvironmentVariable;

TEST(Environment, NamesMatchWithoutCase)
{
    const ScopedEnvironmentVariable variable(L"VexaEnvTest", L"value");
    platform::Environment& environment = platform::Environment::System();
    EXPECT_EQ(environment.Get(L"VEXAENVTEST"), std::optional<std::wstring>(L"value"));
    EXPECT_EQ(environment.Get(L"vexaenvtest"), std::optional<std::wstring>(L"value"));
    EXPECT_EQ(environment.Get(L"VexaEnvTes"), std::nullopt);
}

TEST(Environment, EmptyValueExistsAndMissingVariableDoesNot)
{
    const ScopedEnvironmentVariable empty(L"VEXA_ENV_EMPTY", L"");
    const ScopedEnvironmentVariable missing(L"VEXA_ENV_MISSING", nullptr);
    platform::Environment& environment = platform::Environment::System();
    EXPECT_EQ(environment.Get(L"VEXA_ENV_EMPTY"), std::optional<std::wstring>(L""));
    EXPECT_EQ(environment.Get(L"VEXA_ENV_MISSING"), std::nullopt);
    EXPECT_EQ(environment.Get(L""), std::nullopt);
}

TEST(Environment, LongAndNonAsciiValuesArriveWhole)
{
    const std::wstring longValue(5000, L'x');
    const ScopedEnvironmentVariable longVariable(L"VEXA_ENV_LONG", longValue);
    const ScopedEnvironmentVariable accented(L"VEXA_ENV_ACCENT", L"caf\u00e9 \u20ac");
    platform::Environment& environment = platform::Environment::System();
    EXPECT_EQ(environment.Get(L"VEXA_ENV_LONG"), std::optional<std::wstring>(longValue));
    EXPECT_EQ(environment.Get(L"VEXA_ENV_ACCENT"),
              std::optional<std::wstring>(L"caf\u00e9 \u20ac"));
}

}  // namespace
