#include "results/convert.h"
#include "results/error.h"

#include "tests/core/drop_search_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using qdc::DropError;

namespace {

std::string intError(const std::string& text) {
    return dropErrorOf([&] { qdc::toInt(text); });
}

std::string floatError(const std::string& text, char sep = '.') {
    return dropErrorOf([&] { qdc::toFloat(text, sep); });
}

} // namespace

TEST(IntegerConversion, AcceptedForms) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"0", 0},
        {"7", 7},
        {"  42", 42},
        {"+5", 5},
        {"-50", -50},
        {"$1F", 31},
        {"x1a", 26},
        {"X10", 16},
        {"0x10", 16},
        {"0XfF", 255},
        {"-$10", -16},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"$7FFFFFFF", 2147483647},
        {"007", 7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdc::toInt(c.text), c.value) << c.text;
}

TEST(IntegerConversion, RejectedFormsNameTheText) {
    for (const char* text : {"", " ", "5 ", "1.5", "abc", "+", "-", "$", "0x", "x", "2147483648",
                             "-2147483649", "$80000000", "5a", "\t5", ",", "1e3"}) {
        EXPECT_EQ(intError(text), std::string("'") + text + "' is not a valid integer value")
            << text;
    }
}

TEST(IntegerConversion, SignBlanksAndHexPrefixTogether) {
    const struct {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"  -0x1f", -31},
        {" +$A", 10},
        {"-0X80000000", -2147483647 - 1},
        {"-x7fffffff", -2147483647},
        {"0x0", 0},
        {"-0", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdc::toInt(c.text), c.value) << c.text;
    for (const char* text : {"-0x80000001", "+$", " -x", "- 5", "+-5", "-+5", "00x5", "0x0x1",
                             "$-1", "0x 1", "0xg", "$$1", "x$1"}) {
        EXPECT_EQ(intError(text), std::string("'") + text + "' is not a valid integer value")
            << text;
    }
}

TEST(NumberConversion, AcceptedForms) {
    const struct {
        const char* text;
        char sep;
        double value;
    } cases[] = {
        {"0.05", '.', 0.05}, {" 0.3 ", '.', 0.3}, {"1", '.', 1.0},         {"-2.5", '.', -2.5},
        {"+.5", '.', 0.5},   {"5.", '.', 5.0},    {"1.5E-5", '.', 1.5e-5}, {"2e3", '.', 2000},
        {"1E+2", '.', 100},  {"0,25", ',', 0.25}, {"65,7", ',', 65.7},
    };
    for (const auto& c : cases)
        EXPECT_EQ(qdc::toFloat(c.text, c.sep), c.value) << c.text;
}

TEST(NumberConversion, RejectedFormsNameTheText) {
    const struct {
        const char* text;
        char sep;
    } cases[] = {{"", '.'},      {" ", '.'},    {".", '.'},   {"abc", '.'},
                 {"1e", '.'},    {"1.5x", '.'}, {"0.5", ','}, {"1 000", '.'},
                 {"1E400", '.'}, {"--1", '.'},  {"- ", '.'},  {"-", '.'}};
    for (const auto& c : cases)
        EXPECT_EQ(floatError(c.text, c.sep),
                  std::string("'") + c.text + "' is not a valid floating point value")
            << c.text;
    // All digits, too many for a double: still the conversion error.
    const std::string huge(310, '9');
    EXPECT_EQ(floatError(huge, '.'),
              "'" + qdc::shortened(huge) + "' is not a valid floating point value");
    EXPECT_EQ(dropErrorOf([&] { qdc::toFloatView(huge, '.'); }), floatError(huge, '.'));
    EXPECT_EQ(dropErrorOf([&] { qdc::checkFloatView(huge, '.'); }), floatError(huge, '.'));
}

TEST(NumberConversion, OtherSeparatorWithSignsAndExponents) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{" -1,5e2 ", -150}, {",5E-1", 0.05}, {"+2,e+1", 20}, {"7e0", 7}};
    for (const auto& c : cases)
        EXPECT_EQ(qdc::toFloat(c.text, ','), c.value) << c.text;
    for (const char* text :
         {",", "-,", "1,5e", "1,5e+", "1,5e-x", "1,5e2,0", "1, 5", "e5", ",e1", "1,5 e2", "1,,5"}) {
        EXPECT_EQ(floatError(text, ','),
                  std::string("'") + text + "' is not a valid floating point value")
            << text;
        EXPECT_FALSE(qdc::isPlainFloatText(text, ',')) << text;
    }
}

TEST(NumberConversion, CheckRaisesExactlyWhatConversionRaises) {
    const struct {
        const char* text;
        char sep;
    } cases[] = {
        {"0.05", '.'}, {"5.", '.'},  {".5", '.'},   {".", '.'},   {"", '.'},      {"1.2.3", '.'},
        {"12", '.'},   {"1,5", '.'}, {"1,5", ','},  {"1.5", ','}, {",", ','},     {"1,,5", ','},
        {" 7", '.'},   {"7 ", '.'},  {"-0.5", '.'}, {"1e3", '.'}, {"1E400", '.'}, {"0.5x", '.'},
    };
    for (const auto& c : cases)
        EXPECT_EQ(dropErrorOf([&] { qdc::checkFloatView(c.text, c.sep); }),
                  dropErrorOf([&] { qdc::toFloat(c.text, c.sep); }))
            << c.text << ' ' << c.sep;
}

// A view of digits with one separator is read by a short path up to 15
// digits: at its edges and past them, the same bits as the full reading.
TEST(NumberConversion, ShortDecimalsReadAsTheFullReading) {
    std::vector<std::string> texts = {"0.1",
                                      "0.3",
                                      ".5",
                                      "5.",
                                      "0",
                                      "000000000000000",
                                      "999999999999999",
                                      "9999999999999999",
                                      "0.99999999999999",
                                      "123456789.012345",
                                      "1234567890.123456",
                                      ".000000000000001",
                                      "000000000000000.1",
                                      "1.000057696241895",
                                      "9007199254740993"};
    std::mt19937 rng(7);
    for (int i = 0; i < 5000; ++i) {
        std::string text = std::to_string(rng() % 100000000) + "." + std::to_string(rng());
        texts.push_back(text.substr(0, 1 + rng() % text.size()));
    }
    for (const std::string& text : texts)
        for (const char sep : {'.', ','}) {
            std::string withSep = text;
            std::replace(withSep.begin(), withSep.end(), '.', sep);
            const double view = qdc::toFloatView(withSep, sep);
            const double full = qdc::toFloat(withSep, sep);
            EXPECT_EQ(std::memcmp(&view, &full, sizeof view), 0) << withSep;
            EXPECT_EQ(view, std::strtod(text.c_str(), nullptr)) << text;
        }
}

TEST(NumberConversion, TinyValuesBecomeZeroOrSubnormal) {
    EXPECT_EQ(qdc::toFloat("1e-400", '.'), 0.0);
}

TEST(NumberConversion, EdgeTextsReadAsByTheCLibrary) {
    for (const char* text :
         {"4.9406564584124654e-324", "2.4703282292062328e-324", "2.4703282292062327e-324",
          "-1e-400", "2.2250738585072011e-308", "+0.1e+1", "1.7976931348623157e308",
          "0.000000000000000000000000001e27", "9007199254740993",
          "9007199254740993.0000000000000000000000001", "123456789012345678901234567890e-20",
          "-0"}) {
        EXPECT_EQ(qdc::toFloat(text, '.'), std::strtod(text, nullptr)) << text;
        EXPECT_EQ(std::signbit(qdc::toFloatView(text, '.')),
                  std::signbit(std::strtod(text, nullptr)))
            << text;
    }
}

TEST(NumberConversion, PastTheLargestDoubleOnlyWhatWritesAsIt) {
    const struct {
        const char* text;
        char sep;
        double value; // 0: not a number
    } cases[] = {
        {"1.79769313486232E308", '.', DBL_MAX},
        {"-1.79769313486232e+308", '.', -DBL_MAX},
        {"+1.79769313486232E308", '.', DBL_MAX},
        {"1,79769313486232E308", ',', DBL_MAX},
        {"1.7976931348623249999999999E308", '.', DBL_MAX},
        {"1797693134862324.9e293", '.', DBL_MAX},
        {"0.000179769313486232e312", '.', DBL_MAX},
        {"1.797693134862325E308", '.', 0},
        {"1.7976931348623250000E308", '.', 0},
        {"1.8e308", '.', 0},
        {"1e309", '.', 0},
        {"-1e99999999999999999999", '.', 0},
    };
    for (const auto& c : cases) {
        if (c.value != 0) {
            EXPECT_EQ(qdc::toFloat(c.text, c.sep), c.value) << c.text;
            EXPECT_EQ(qdc::toFloatView(c.text, c.sep), c.value) << c.text;
        } else {
            EXPECT_EQ(floatError(c.text, c.sep),
                      std::string("'") + c.text + "' is not a valid floating point value")
                << c.text;
        }
    }
}

TEST(ErrorBox, DotAppendedAfterCharactersThatSortAfterIt) {
    EXPECT_EQ(qdc::boxMessage("File not found"), "File not found.");
    EXPECT_EQ(qdc::boxMessage("'x' is not a valid integer value"),
              "'x' is not a valid integer value.");
    EXPECT_EQ(qdc::boxMessage("I/O error 5"), "I/O error 5.");
    EXPECT_EQ(qdc::boxMessage("Ends with a dot."), "Ends with a dot.");
    EXPECT_EQ(qdc::boxMessage("Ends with a blank "), "Ends with a blank ");
    EXPECT_EQ(qdc::boxMessage("Comma,"), "Comma,");
    EXPECT_EQ(qdc::boxMessage(""), "");
}

TEST(ErrorBox, CheckedDivision) {
    EXPECT_EQ(qdc::checkedDivide(1, 4), 0.25);
    EXPECT_DROP_ERROR(qdc::checkedDivide(1, 0), "Floating point division by zero");
    EXPECT_DROP_ERROR(qdc::checkedDivide(0, 0), "Invalid floating point operation");
}
