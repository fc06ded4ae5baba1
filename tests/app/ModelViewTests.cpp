#include "modes/ModelView.h"
#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;

QStringList Items(const QComboBox& list)
{
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        items << list.itemText(i);
    }
    return items;
}

struct ModelViewFixture : ::testing::Test, ProgramFixture {
    void SetUp() override { StartQuietly(false); }
    void Apply(double modelId)
    {
        program->state.modelId = modelId;
        ApplyModelView(window(), program->state);
    }
};

TEST_F(ModelViewFixture, FunctionListFollowsTheModelNumerically)
{
    {
        Apply(4.0);
        const QStringList items = Items(*window().cmb[1]);
        ASSERT_EQ(items.size(), 15);
        EXPECT_EQ(items[12], QStringLiteral("RPM/IG"));
        EXPECT_EQ(items[13], QStringLiteral("RPM/IP"));
        EXPECT_EQ(items[3], QStringLiteral("DIODE"));
        EXPECT_FALSE(items.contains(QStringLiteral("BEEP")));
    }
    for (const double standard : { 0.0, 1.0, 2.0, 4.5 }) {
        Apply(standard);
        const QStringList items = Items(*window().cmb[1]);
        ASSERT_EQ(items.size(), 14) << standard;
        EXPECT_EQ(items[3], QStringLiteral("BEEP"));
        EXPECT_EQ(items[13], QStringLiteral("TEMP"));
        EXPECT_FALSE(items.contains(QStringLiteral("RPM/IG")));
    }
    EXPECT_EQ(window().cmb[1]->currentIndex(), -1) << "no function is chosen until the meter says";
}

TEST_F(ModelViewFixture, SendsNothingAndLeavesTheGuardClear)
{
    window().cmb[1]->setCurrentIndex(4);
    Sent();
    Apply(4);
    EXPECT_TRUE(Sent().empty());
    EXPECT_FALSE(program->state.fromMeter);
    window().cmb[1]->setCurrentIndex(2);
    EXPECT_FALSE(Sent().empty()) << "the list is live again afterwards";
}

TEST_F(ModelViewFixture, LaysOutTheTablesWithTheirDefaults)
{
    window().grdLog[1]->SetTextMatrix(0, 1, QStringLiteral("01234"));
    window().grdLog[4]->SetRows(40);
    window().grdLog[4]->SetTextMatrix(5, 2, QStringLiteral("old"));
    SetBackColour(window().cmdGrd[1], colour::ButtonFace);
    window().trdBar->setValue(50);
    Apply(1);
    EXPECT_EQ(window().grdLog[1]->TextMatrix(0, 0), QStringLiteral("Start Add"));
    EXPECT_EQ(window().grdLog[1]->TextMatrix(0, 1), QStringLiteral("00000"));
    EXPECT_EQ(window().grdLog[2]->TextMatrix(0, 1), QStringLiteral("00000"));
    EXPECT_EQ(window().grdLog[3]->TextMatrix(0, 0), QStringLiteral("Sampling(S)"));
    EXPECT_EQ(window().grdLog[3]->TextMatrix(0, 1), QStringLiteral("1"));
    EXPECT_EQ(window().grdLog[0]->TextMatrix(0, 0), QStringLiteral("File"));
    EXPECT_EQ(window().grdLog[0]->TextMatrix(0, 1), QStringLiteral("Test.log"));
    EXPECT_EQ(window().grdTrd->TextMatrix(0, 1), QStringLiteral("Test.trd"));
    EXPECT_EQ(window().grdMain->TextMatrix(0, 2), QStringLiteral("Reading   "));
    EXPECT_EQ(window().grdMain->TextMatrix(0, 3), QStringLiteral("     Remark"));
    EXPECT_EQ(window().grdMain->ColAlignment(1), 4);
    EXPECT_EQ(window().grdMain->ColAlignment(2), 6);
    EXPECT_EQ(window().grdLog[0]->ColAlignment(4), 5);
    EXPECT_EQ(window().grdLog[0]->ColWidth(1), 2540);
    // Downloaded rows survive: the view runs on every link.
    EXPECT_EQ(window().grdLog[4]->Rows(), 40);
    EXPECT_EQ(window().grdLog[4]->TextMatrix(5, 2), QStringLiteral("old"));
    EXPECT_EQ(window().grdLog[4]->TextMatrix(0, 3), QStringLiteral("Remarks"));
    EXPECT_EQ(window().grdLog[4]->ColWidth(2), 1200);
    EXPECT_EQ(window().trdBar->value(), 0);
    for (FlexGrid* bar : { window().grdLog[0], window().grdTrd }) {
        for (int column = 2; column <= 5; ++column) {
            bar->SetRow(0);
            bar->SetCol(column);
            EXPECT_FALSE(bar->CellPicture().isNull()) << column;
        }
    }
}

} // namespace
} // namespace pelicard
