#include "platform/data_exchange.h"

#include <gtest/gtest.h>

namespace {

TEST(UnsignedFieldTest, AcceptsAndRejectsAsTheFormRuleSays)
{
    struct
    {
        const char *typed;
        bool accepted;
        std::uint32_t value;
    } const kCases[] = {
        {" 80 ", true, 80},
        {"+80", true, 80},
        {"0", true, 0},
        {"00", true, 0},
        {"007", true, 7},
        {"99999999999", true, 4294967295u},
        {"4294967295", true, 4294967295u},
        {"70000", true, 70000},
        {"\t45689\t", true, 45689},
        {"", false, 0},
        {"   ", false, 0},
        {"-1", false, 0},
        {" -1", false, 0},
        {"+0", false, 0},
        {"+-5", false, 0},
        {"80x", false, 0},
        {"8 0", false, 0},
        {"0x50", false, 0},
        {"abc", false, 0},
        {"\xe9"
         "80",
         false, 0},
    };
    for (const auto &c : kCases) {
        SCOPED_TRACE(std::string("typed: '") + c.typed + "'");
        std::uint32_t value = 12345;
        EXPECT_EQ(ParseUnsignedField(QString::fromLatin1(c.typed), value), c.accepted);
        EXPECT_EQ(value, c.accepted ? c.value : 12345u) << "a rejected text leaves the value";
    }
}

TEST(UnsignedFieldTest, LooksAtTheFirst31CharactersOnly)
{
    // 5 digits and 26 spaces fill the 31 characters; whatever follows is never read.
    const QString valid = QStringLiteral("45689") + QString(26, QLatin1Char(' '));
    std::uint32_t value = 0;
    EXPECT_TRUE(ParseUnsignedField(valid + QStringLiteral("garbage"), value));
    EXPECT_EQ(value, 45689u);

    // One character less of blanks brings the garbage inside the 31.
    const QString tooShort = QStringLiteral("45689") + QString(25, QLatin1Char(' '));
    EXPECT_FALSE(ParseUnsignedField(tooShort + QStringLiteral("x"), value));
    // A long run of digits is cut at 31 characters, and that number saturates.
    EXPECT_TRUE(ParseUnsignedField(QString(40, QLatin1Char('1')), value));
    EXPECT_EQ(value, 4294967295u);
}

}  // namespace
