#include "ui/SettingsMenu.h"
#include "ContrastRatio.h"
#include "fakes/FakeChoices.h"
#include "fakes/FakeDesktop.h"
#include "fakes/LogCapture.h"
#include "recording/QualityPreset.h"
#include "recording/SupportContact.h"
#include "ui/SettingsActions.h"

#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QUrlQuery>

#include <gtest/gtest.h>

using Lines = std::vector<std::string>;

namespace {
class SettingsMenuTest : public ::testing::Test {
protected:
    std::unique_ptr<SettingsMenu> open() { return std::make_unique<SettingsMenu>(actions); }
    std::optional<QVariant> stored() const { return QualityPresets::stored(preferences); }

    TestPreferences preferences;
    FakeMail mail;
    SettingsActions actions{preferences, mail};
    QSignalSpy quits{actions.quit(), &QAction::triggered};
    LogCapture log;
};

const char *const cellLines[] = {"tableView(_ tableView: NSTableView", "configuro cella"};
} // namespace

TEST_F(SettingsMenuTest, LoadsThreeWhiteRowsOnBlueNinetyPointsHigh)
{
    auto menu = open();
    Lines expected{"arrayMenu.count : 3"};
    for (int row = 0; row < 3; ++row)
        expected.insert(expected.end(), std::begin(cellLines), std::end(cellLines));
    EXPECT_EQ(log.lines(), expected);
    EXPECT_EQ(menu->height(), 90);
    EXPECT_EQ(menu->palette().color(QPalette::Window), QColor(71, 121, 202));
    EXPECT_EQ(menu->table()->palette().color(QPalette::Base).alpha(), 0);
    ASSERT_EQ(menu->table()->rowCount(), 3);
    const char *texts[] = {"Quality : Medium", "Contact Us", "Quit"};
    for (int row = 0; row < 3; ++row) {
        EXPECT_EQ(menu->table()->item(row, 0)->text(), QString::fromLatin1(texts[row]));
        EXPECT_EQ(menu->table()->item(row, 0)->foreground().color(), QColor(Qt::white));
    }
    // Repainting asks for nothing again.
    log.clear();
    menu->show();
    menu->repaint();
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(SettingsMenuTest, ACellOfAnotherColumnIsLeftAsMade)
{
    auto menu = open();
    menu->table()->setColumnCount(2);
    menu->table()->setHorizontalHeaderItem(1, new QTableWidgetItem(QStringLiteral("Other")));
    log.clear();
    std::unique_ptr<QTableWidgetItem> cell(menu->makeCell(1, 0));
    EXPECT_EQ(log.lines(), Lines{"tableView(_ tableView: NSTableView"});
    EXPECT_TRUE(cell->text().isEmpty());
}

// What is stored when the menu opens, what the quality row shows and stores then, and after one
// and two steps.
struct QualityRow {
    const char *situation;
    std::optional<QVariant> stored;
    const char *shown;
    int storedAtOpening;
    const char *afterOne;
    int storedAfterOne;
    const char *afterTwo;
    int storedAfterTwo;
};

class QualityRowTest : public SettingsMenuTest, public ::testing::WithParamInterface<QualityRow> {};

TEST_P(QualityRowTest, FollowsTheStoredPresetAndStepsLowMediumHigh)
{
    const QualityRow &row = GetParam();
    if (row.stored)
        preferences.setValue(QStringLiteral("qualitaAudio"), *row.stored);
    auto menu = open();
    EXPECT_EQ(menu->rowTexts()[0], QString::fromLatin1(row.shown));
    EXPECT_EQ(menu->table()->item(0, 0)->text(), QString::fromLatin1(row.shown));
    EXPECT_EQ(stored()->toInt(), row.storedAtOpening);

    menu->activateRow(0);
    EXPECT_EQ(menu->table()->item(0, 0)->text(), QString::fromLatin1(row.afterOne));
    EXPECT_EQ(stored()->toInt(), row.storedAfterOne);
    // The same row again steps again: the selection does not stick.
    menu->activateRow(0);
    EXPECT_EQ(menu->table()->item(0, 0)->text(), QString::fromLatin1(row.afterTwo));
    EXPECT_EQ(stored()->toInt(), row.storedAfterTwo);
    EXPECT_EQ(menu->table()->item(1, 0)->text(), QStringLiteral("Contact Us"));
    EXPECT_EQ(menu->table()->item(2, 0)->text(), QStringLiteral("Quit"));
}

INSTANTIATE_TEST_SUITE_P(
    Stored, QualityRowTest,
    ::testing::Values(
        QualityRow{"Nothing", std::nullopt, "Quality : Medium", 1, "Quality : High", 2, "Quality : Low", 0},
        QualityRow{"Low", QVariant(0), "Quality : Low", 0, "Quality : Medium", 1, "Quality : High", 2},
        QualityRow{"Medium", QVariant(1), "Quality : Medium", 1, "Quality : High", 2, "Quality : Low", 0},
        QualityRow{"High", QVariant(2), "Quality : High", 2, "Quality : Low", 0, "Quality : Medium", 1},
        QualityRow{"Seven", QVariant(7), "Quality : High", 7, "Quality : Low", 0, "Quality : Medium", 1},
        QualityRow{"MinusOne", QVariant(-1), "Quality : High", -1, "Quality : Low", 0, "Quality : Medium", 1},
        QualityRow{"NotANumber", QVariant(QStringLiteral("loud")), "Quality : Medium", 1, "Quality : High", 2,
                   "Quality : Low", 0}),
    [](const auto &info) { return std::string(info.param.situation); });

TEST_F(SettingsMenuTest, EachRowLogsItsSelectionAndRunsItsAction)
{
    auto menu = open();
    log.clear();
    menu->activateRow(0);
    Lines expected{"tableViewSelectionDidChange", "indirizzo selezionato : 0", "arrayMenu.count : 3"};
    for (int row = 0; row < 3; ++row)
        expected.insert(expected.end(), std::begin(cellLines), std::end(cellLines));
    expected.push_back(R"(arrayMenu : ["Quality : High", "Contact Us", "Quit"])");
    EXPECT_EQ(log.lines(), expected);

    log.clear();
    menu->activateRow(1);
    EXPECT_EQ(log.lines(), (Lines{"tableViewSelectionDidChange", "indirizzo selezionato : 1", "contact us"}));
    ASSERT_EQ(mail.sent.size(), 1u);

    log.clear();
    menu->activateRow(2);
    EXPECT_EQ(log.lines(), (Lines{"tableViewSelectionDidChange", "indirizzo selezionato : 2"}));
    EXPECT_EQ(quits.count(), 1);

    log.clear();
    menu->runSelectedRow(); // a cleared selection
    EXPECT_EQ(log.lines(), (Lines{"tableViewSelectionDidChange", "indirizzo selezionato : -1"}));
    EXPECT_EQ(quits.count(), 1);
    EXPECT_EQ(mail.sent.size(), 1u);
}

TEST_F(SettingsMenuTest, TheContactMessageDecodesBackExactly)
{
    const QUrl message = SupportContact::message();
    EXPECT_EQ(message.scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(message.path(), QStringLiteral("support@registratore.org"));
    const QUrlQuery query(message);
    EXPECT_EQ(query.queryItemValue(QStringLiteral("subject"), QUrl::FullyDecoded),
              QStringLiteral("Contact Us from OSX MAC"));
    EXPECT_EQ(query.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded), QStringLiteral("Question:"));
    EXPECT_FALSE(message.toEncoded().contains(' '));
}

// WCAG's non-text contrast: the ring of the row the keyboard is on, as drawn, is 3:1 or more
// against the menu's blue.
TEST_F(SettingsMenuTest, TheKeyboardsRowIsRingedVisiblyOnTheBlue)
{
    auto menu = open();
    menu->show();
    menu->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(menu.get()));
    menu->setFocus(Qt::TabFocusReason);
    menu->table()->setCurrentCell(1, 0);
    ASSERT_TRUE(menu->table()->hasFocus());
    const QImage drawn = menu->grab().toImage();
    const QRect row = menu->table()->visualRect(menu->table()->model()->index(1, 0));
    const QPoint edge = menu->table()->viewport()->mapTo(menu.get(), QPoint(row.left(), row.center().y()));
    const QColor ring = drawn.pixelColor(edge), behind = menu->palette().color(QPalette::Window);
    EXPECT_GE(contrastRatio(ring, behind), 3.0)
        << qPrintable(ring.name()) << " on " << qPrintable(behind.name());
}
