#include "values/SetupValue.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

namespace pelicard {
namespace {

using Case = std::pair<std::string_view, std::string_view>; // typed text, expected code ("" = refused)

void ExpectCodes(std::initializer_list<Case> cases,
    std::optional<std::string> (*encode)(std::string_view) = EncodeSetupValue)
{
    for (const auto& [text, expected] : cases) {
        const auto code = encode(text);
        EXPECT_EQ(code.value_or(""), expected) << '"' << text << '"';
        EXPECT_EQ(code.has_value(), !expected.empty()) << '"' << text << '"';
    }
}

TEST(SetupValue, EachUnitFamilyHasItsRangesAndBounds)
{
    // Volts. Any other unit text holding a V is volts: "mVdc" is not "mV", "kV" is found through "V".
    ExpectCodes({ { "1.2345V", "+1.2345_1" }, { "-0.5V", "-0.5000_1" }, { "0V", "+0.0000_1" },
        { "V", "+0.0000_1" }, { "4.9999V", "+4.9999_1" }, { "5V", "+05.000_2" }, { "49.999V", "+49.999_2" },
        { "50V", "+050.00_3" }, { "1000V", "+1000.00_3" }, { "5 V", "+05.000_2" }, { "  -5V  ", "-05.000_2" },
        { "- 5V", "-05.000_2" }, { "12.5mV", "+012.50_0" }, { "-12.5mV", "-012.50_0" },
        { "1234mV", "+1234.00_0" }, { "12.5 mV", "+012.50_0" }, { "-200.00mVdc", "-200.00_3" },
        { "5kV", "+05.000_2" }, { "5mv", "" }, { "5v", "" } });
    ExpectCodes({ { "0.47kohm", "+.4700_1" }, { "3.3kohm", "+3.3000_1" }, { "5kohm", "+5.000_2" },
        { "50kohm", "+50.00_3" }, { "499.99kohm", "+499.99_3" }, { "500kohm", "" }, { "100ohm", "+100.00_0" },
        { "0.5Mohm", "+.5000_4" }, { "4.7Mohm", "+4.7000_4" }, { "12Mohm", "+12.000_5" }, { "50Mohm", "" },
        { "5kohms", "" }, { "5 Ohm", "" } });
    ExpectCodes({ { "220nF", "+220.00_0" }, { "1000nF", "+1000.00_0" }, { "4.7uF", "+4.7000_1" },
        { "10uF", "+10.000_2" }, { "470uF", "+470.00_3" }, { "500uF", "" }, { "49.9mA", "+49.900_0" },
        { "-0.25mA", "-.250_0" }, { "50mA", "+50.00_1" }, { "499.99mA", "+499.99_1" }, { "500mA", "" },
        { "0.5A", "+.5000_0" }, { "5A", "+5.000_1" }, { "7.5A", "+7.500_1" }, { "10A", "" }, { "12A", "" } });
    ExpectCodes({ { "0.5Hz", "+000.50_0" }, { "999.99Hz", "+999.99_0" }, { "1000Hz", "" },
        { "9.5kHz", "+9.5000_1" }, { "10kHz", "+10.000_2" }, { "470kHz", "+470.00_3" }, { "1000kHz", "" },
        { "1.5MHz", "+1.5000_4" }, { "50MHz", "+50.000_5" }, { "100MHz", "" } });
    // Seconds are range 0; the smaller the unit and the value, the higher the range number.
    ExpectCodes({ { "0.25S", "+0.2500_0" }, { "S", "+0.0000_0" }, { "10S", "" }, { "5mS", "+5.0000_3" },
        { "12.5mS", "+12.500_2" }, { "500mS", "+500.00_1" }, { "1000mS", "" }, { "2uS", "+2.0000_6" },
        { "20uS", "+20.000_5" }, { "200uS", "+200.00_4" }, { "1000uS", "" } });
    ExpectCodes({ { "50%", "+050.00_0" }, { "150%", "+150.00_0" }, { "25deg", "+000025_0" },
        { "-10deg", "-000010_0" }, { "1234567deg", "+1234567_0" },
        // A unit word followed by more than its family's words matches no row; no unit is refused.
        { "%x", "" }, { "25degC", "" }, { "25\u00b0C", "" }, { "12.5", "" }, { "", "" }, { "   ", "" },
        { "abc", "" } });
}

// Halves of the typed decimal go to the even digit at each mask's last place, whatever the nearest
// double is (2.675 is stored just below the half, yet gives 2.68).
TEST(SetupValue, RoundsAtTheLastPlaceOfEachMaskHalvesToEven)
{
    // 0##.#0
    ExpectCodes({ { "12.345mV", "+012.34_0" }, { "12.355mV", "+012.36_0" }, { "2.675mV", "+002.68_0" },
        { "0.125mV", "+000.12_0" }, { "12.3451mV", "+012.35_0" }, { "999.995mV", "+1000.00_0" } });
    // 0.###0, 0#.##0, 0#0.#0
    ExpectCodes({ { "1.23445V", "+1.2344_1" }, { "1.23455V", "+1.2346_1" }, { "12.3445V", "+12.344_2" },
        { "12.3435V", "+12.344_2" }, { "10.0005V", "+10.000_2" }, { "123.445V", "+123.44_3" },
        { "123.455V", "+123.46_3" } });
    // #.###0, ##.##0
    ExpectCodes(
        { { "0.00005kohm", "+.0000_1" }, { "0.00015kohm", "+.0002_1" }, { "0.99995kohm", "+1.0000_1" },
            { "5.0005kohm", "+5.000_2" }, { "9.9995kohm", "+10.000_2" }, { "0.0005mA", "+.000_0" } });
    // ##0.#0, ###.#0
    ExpectCodes({ { "123.125uF", "+123.12_3" }, { "99.995uF", "+100.00_3" }, { "50.005mA", "+50.00_1" },
        { "50.015mA", "+50.02_1" }, { "99.995mA", "+100.00_1" } });
    // 00###0
    ExpectCodes({ { "2.5deg", "+000002_0" }, { "3.5deg", "+000004_0" }, { "0.5001deg", "+000001_0" } });
    // The sign is the typed number's and the bound is compared before rounding.
    ExpectCodes({ { "-0.5deg", "-000000_0" }, { "4.99995V", "+5.0000_1" } });
}

TEST(SetupValue, EncoderKeepsTheLastAcceptedCodeAndFlagsFailures)
{
    SetupValueEncoder encoder;
    const auto encode = [&encoder](std::string_view text) {
        const auto code = encoder.Encode(text);
        EXPECT_EQ(encoder.Failed(), !code) << text;
        return encoder.LastCode();
    };
    EXPECT_EQ(encode("500kohm"), "");
    EXPECT_EQ(encode(" 12.5mV "), "+012.50_0");
    for (const std::string_view refused : { "500kohm", "5mv", "degC" }) {
        EXPECT_EQ(encode(refused), "+012.50_0");
    }
    EXPECT_EQ(encode("3.3kohm"), "+3.3000_1");
}

TEST(NumberMask, WritesAQuarterAndTwelveAndThreeQuarters)
{
    const std::tuple<std::string_view, std::string_view, std::string_view> cases[] = { { "0##.#0", "000.25",
                                                                                           "012.75" },
        { "0.###0", "0.2500", "12.7500" }, { "0#.##0", "00.250", "12.750" }, { "0#0.#0", "000.25", "012.75" },
        { "#.###0", ".2500", "12.7500" }, { "##.##0", ".250", "12.750" }, { "##0.#0", "0.25", "12.75" },
        { "###.#0", ".25", "12.75" }, { "00###0", "000000", "000013" }, { "0#####0", "0000000", "0000013" } };
    for (const auto& [mask, quarter, twelveAndThreeQuarters] : cases) {
        EXPECT_EQ(FormatNumberMask(0.25, mask), quarter) << mask;
        EXPECT_EQ(FormatNumberMask(12.75, mask), twelveAndThreeQuarters) << mask;
    }
    EXPECT_EQ(FormatNumberMask(1e20, "0#####0"), "100000000000000000000");
}

TEST(Count, WritesAtLeastSevenDigitsAndRefusesWhatIsNotANumber)
{
    ExpectCodes({ { "1", "0000001" }, { " 10 ", "0000010" }, { "500", "0000500" }, { "0", "0000000" },
                    { "12345", "0012345" }, { "12345678", "12345678" }, { "+7", "0000007" },
                    { "-1", "-0000001" }, { "1.", "0000001" }, { "1.49", "0000001" }, { "2.5", "0000002" },
                    { "3.5", "0000004" }, { ".5", "0000000" }, { "-0.4", "-0000000" }, { "", "" },
                    { "   ", "" }, { "abc", "" }, { "12abc", "" }, { "1 0", "" }, { "-", "" }, { ".", "" },
                    { "1e3", "" }, { "0x10", "" }, { "1.2.3", "" } },
        EncodeCount);
}

TEST(SetupValue, AcceptedUnitsNameEachFamilyWithItsLastBound)
{
    const std::string text = AcceptedSetupValues();
    EXPECT_EQ(text.substr(text.find('\n')),
        "\nVoltage: mV, V\nResistance: ohm, kohm below 500, Mohm below 50\nCapacitance: nF, uF below 500"
        "\nCurrent: mA below 500, A below 10\nFrequency: Hz below 1000, kHz below 1000, MHz below 100"
        "\nTime: S below 10, mS below 1000, uS below 1000\nDuty: %\nTemperature: deg");
}

} // namespace
} // namespace pelicard
