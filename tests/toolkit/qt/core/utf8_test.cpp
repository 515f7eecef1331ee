#include "toolkit/qt/core/utf8.h"

#include <gtest/gtest.h>

#include <QString>

namespace {

using toolkit::shown_name;

const QString fsi(QChar(0x2068)), lri(QChar(0x2066)), pdi(QChar(0x2069));

TEST(ShownName, LeavesAPlainNameAsItIs)
{
    EXPECT_EQ(shown_name("report 2024.txt"), QString("report 2024.txt"));
    EXPECT_EQ(shown_name("\xd7\xa9\xd7\x9c\xd7\x95\xd7\x9d.txt"), QString::fromUtf8("שלום.txt"));
    EXPECT_EQ(shown_name("caf\xff"), QString::fromUtf8("caf\uFFFD"));  // Not UTF-8.
}

TEST(ShownName, MarksWhatWouldReorderOrSplitTheNameAndIsolatesTheRest)
{
    // "invoice", RIGHT-TO-LEFT OVERRIDE, "txt.exe": drawn as it is spelt,
    // never as "invoiceexe.txt".
    EXPECT_EQ(shown_name("invoice\xe2\x80\xaetxt.exe"),
              QString::fromUtf8("invoice‹U+202E›txt.exe"));
    EXPECT_EQ(shown_name("two\nlines\r"), QString::fromUtf8("two‹LF›lines‹CR›"));
    // Right-to-left letters could carry text across a mark: each part is
    // isolated from the others.
    EXPECT_EQ(shown_name("\xd7\x90\xe2\x80\xad\xd7\x91.txt"),
              fsi + QString::fromUtf8("א") + pdi + lri + QString::fromUtf8("‹U+202D›") + pdi + fsi +
                  QString::fromUtf8("ב.txt") + pdi);
    for (char16_t control : {0x202A, 0x202B, 0x202C, 0x202D, 0x2066, 0x2067, 0x2068, 0x2069, 0x200E,
                             0x200F, 0x061C, 0x2028, 0x2029, 0x0009}) {
        QString spelt = QStringLiteral("a") + QChar(control) + QStringLiteral("b");
        std::string name = spelt.toStdString();
        QString shown = shown_name(name);
        SCOPED_TRACE(shown.toStdString());
        EXPECT_TRUE(
            shown.contains(QString("U+%1").arg(unsigned(control), 4, 16, QChar('0')).toUpper()));
        // The control itself is gone; only isolates of our own remain.
        QString without_isolates = shown;
        without_isolates.remove(fsi).remove(lri).remove(pdi);
        EXPECT_FALSE(without_isolates.contains(QChar(control)));
    }
}

// A character that draws nothing would let "bom" + U+FEFF + "name" pass for
// "bomname"; the same characters inside an emoji draw one picture and stay.
TEST(ShownName, MarksWhatDrawsNothingButKeepsEmojiWhole)
{
    struct Case {
        const char* name;
        const char* shown;
    } cases[] = {
        {"bom\uFEFFname", "bom‹U+FEFF›name"},
        {"zero\u200Bwidth", "zero‹U+200B›width"},
        {"word\u2060joiner", "word‹U+2060›joiner"},
        {"soft\u00ADhyphen", "soft‹U+00AD›hyphen"},
        {"joined\u200Dletters", "joined‹U+200D›letters"},
        {"a\uFE0Fb", "a‹U+FE0F›b"},
        {"tag\U000E0041", "tag‹U+E0041›"},
        {"\U0001F468\u200D\U0001F469\u200D\U0001F467", "\U0001F468\u200D\U0001F469\u200D\U0001F467"},
        {"\u2764\uFE0F.txt", "\u2764\uFE0F.txt"},
        {"\U0001F3F3\uFE0F\u200D\U0001F308", "\U0001F3F3\uFE0F\u200D\U0001F308"},
        {"1\uFE0F\u20E3", "1\uFE0F\u20E3"},
        {"\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F",
         "\U0001F3F4\U000E0067\U000E0062\U000E0065\U000E006E\U000E0067\U000E007F"},
        {"\U0001F600\u200Dx", "\U0001F600‹U+200D›x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        EXPECT_EQ(shown_name(c.name).toStdString(), c.shown);
    }
}

}  // namespace
