#include <gtest/gtest.h>

#include "doc/SamplingRateValidation.h"

using namespace tonmira;

TEST(SamplingRateValidation, AcceptsTheRangeAndGivesThePromptsMessages)
{
    UINT rate = 0;
    std::string message;
    EXPECT_TRUE(ValidateSamplingRate("1", rate, message));
    EXPECT_EQ(rate, 1u);
    EXPECT_TRUE(ValidateSamplingRate(" 1000000 ", rate, message));
    EXPECT_EQ(rate, 1000000u);
    for (const char* text : {"", "abc", "-5", "44.1", "12k"}) {
        EXPECT_FALSE(ValidateSamplingRate(text, rate, message)) << text;
        EXPECT_EQ(message, "正の整数を入力してください。") << text;
    }
    for (const char* text : {"0", "1000001", "99999999999999999999999"}) {
        EXPECT_FALSE(ValidateSamplingRate(text, rate, message)) << text;
        EXPECT_EQ(message, "1 から 1000000 までの整数を入力してください。") << text;
    }
    EXPECT_EQ(rate, 1000000u);  // untouched by the failures
}
