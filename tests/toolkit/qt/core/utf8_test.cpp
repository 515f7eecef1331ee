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

}  // namespace
