#include "platform/Log.h"

#include "fakes/LogCapture.h"

#include <QString>

#include <gtest/gtest.h>

// A name with a newline cannot forge a second line, nor one with ESC drive the terminal; a
// text without control characters is written byte for byte.
TEST(LogTest, ControlCharactersAreEscapedAndPlainTextIsUnchanged)
{
    const struct {
        const char *text; // UTF-8
        const char *logged;
    } rows[] = {
        {"chiudo il traduttore ModelData.shared.chiudo : Si",
         "chiudo il traduttore ModelData.shared.chiudo : Si"},
        {"Recording from \u201cMicrofono \u00e8 \\ 100%\u201d.",
         "Recording from \u201cMicrofono \u00e8 \\ 100%\u201d."},
        {"take.caf\nrecording ended : forged", "take.caf\\nrecording ended : forged"},
        {"a\rb\tc", "a\\rb\\tc"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {"csi \u009b31m, nel \u0085, del \x7f", "csi \\x9b31m, nel \\x85, del \\x7f"},
    };
    LogCapture log;
    for (const auto &row : rows) {
        Log::line(QString::fromUtf8(row.text));
        Log::line(row.text);
        EXPECT_EQ(Log::escaped(QString::fromUtf8(row.text)), QString::fromUtf8(row.logged)) << row.text;
    }
    std::vector<std::string> expected;
    for (const auto &row : rows)
        expected.insert(expected.end(), 2, row.logged);
    EXPECT_EQ(log.lines(), expected);
}
