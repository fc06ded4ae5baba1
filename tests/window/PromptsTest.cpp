#include "window/QtPrompts.h"

#include <gtest/gtest.h>

namespace pelicard {
namespace {

TEST(FileDialogFilter, TurnsPairsIntoTheDialogsForm)
{
    const std::pair<const char*, const char*> cases[]
        = { { "Trend Data File(*.trd)|*.trd", "Trend Data File (*.trd)" },
              { "Text|*.txt|All files (*.*)|*.*", "Text (*.txt);;All files (*.*)" },
              { "Logs|*.log;*.dat", "Logs (*.log *.dat)" }, { "", "" }, { "No pattern", "" },
              { "Empty|", "" }, { "|*.log", "*.log" }, { "Text|*.txt|Dangling", "Text (*.txt)" } };
    for (const auto& [filter, expected] : cases) {
        EXPECT_EQ(FileDialogFilter(QString::fromUtf8(filter)), QString::fromUtf8(expected)) << filter;
    }
}

} // namespace
} // namespace pelicard
