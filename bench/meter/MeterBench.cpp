// Times the three gauges of the main window: a complete repaint, a frame through the pre-rendered
// dials, and the idle ticks of the 5 ms animation timer while the needles rest.
#include "meter/VuPanel.h"

#include <QGuiApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFrames = 2000;
constexpr int kIdleTicks = 1000;
constexpr double kTimerPeriodMicroseconds = 5000.0;
constexpr std::uint32_t kBackground = 0xD2DCE1;

double Microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1))];
}

pelicard::VuTexts RecordModeTexts()
{
    pelicard::VuTexts texts;
    texts.functionText = QStringLiteral("DCV");
    texts.ModeCaption = { QStringLiteral("Max"), QStringLiteral("Min") };
    texts.readingText
        = { QStringLiteral(" 4.9999V  "), QStringLiteral(" 5.0123V  "), QStringLiteral(" 4.8810V  ") };
    texts.meterScale = { QStringLiteral("X1"), QStringLiteral("X1"), QStringLiteral("X1") };
    texts.recordStamp = { QStringLiteral("12:34:56"), QStringLiteral("12:35:07") };
    return texts;
}

// A needle value for frame i of gauge k that moves the needle by a few degrees every frame.
double Sweep(int i, std::size_t k)
{
    return static_cast<double>((i * 7 + static_cast<int>(k) * 13) % 50);
}

void Report(const char* what, const std::vector<double>& times)
{
    std::printf("%-44s median %8.1f us   90%% %8.1f us\n", what, Median(times), Percentile(times, 0.9));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    pelicard::VuTexts texts = RecordModeTexts();
    QImage picture(330, 220, QImage::Format_RGB32);
    std::printf(
        "three gauges in a %dx%d picture, %d frames each\n\n", picture.width(), picture.height(), kFrames);

    // Activation after a change of function or mode: styles applied, dials pre-rendered again,
    // first frame painted.
    {
        pelicard::VuPanel panel(texts);
        std::vector<double> activations;
        const QStringList functions = { QStringLiteral("DCV"), QStringLiteral("FREQ") };
        for (int i = 0; i < 200; ++i) {
            texts.functionText = functions[i % 2];
            const auto start = Clock::now();
            panel.vuActivate(picture);
            activations.push_back(Microseconds(Clock::now() - start));
        }
        Report("vuActivate (styles + dial layers + frame)", activations);
        texts = RecordModeTexts();
    }

    // Complete repaint of every element, as without the dial layers.
    {
        pelicard::VuPanel panel(texts);
        panel.vuActivate(picture);
        auto& meters = panel.vuMeters();
        std::vector<double> times;
        for (int i = 0; i < kFrames; ++i) {
            for (std::size_t k = 0; k < 3; ++k)
                meters[k].SetNeedleValueDirect(Sweep(i, k));
            const auto start = Clock::now();
            meters[0].Draw(kBackground, kBackground, true);
            meters[1].Draw(kBackground, kBackground, false);
            meters[2].Draw(kBackground, kBackground, false);
            times.push_back(Microseconds(Clock::now() - start));
        }
        Report("full frame (every element painted)", times);
    }

    // Frames through the dial layers: needles move every tick.
    {
        pelicard::VuPanel panel(texts);
        panel.vuActivate(picture);
        std::vector<double> times;
        int painted = 0;
        for (int i = 0; i < kFrames; ++i) {
            for (std::size_t k = 0; k < 3; ++k)
                panel.vuMeters()[k].SetNeedleValueDirect(Sweep(i, k));
            const auto start = Clock::now();
            painted += panel.Tick() ? 1 : 0;
            times.push_back(Microseconds(Clock::now() - start));
        }
        Report("incremental frame (needles moving)", times);
        std::printf("%-44s %d of %d\n", "  frames painted", painted, kFrames);
    }

    // Frames through the dial layers where only a reading text changes.
    {
        pelicard::VuPanel panel(texts);
        panel.vuActivate(picture);
        std::vector<double> times;
        for (int i = 0; i < kFrames; ++i) {
            texts.readingText[0] = QStringLiteral(" %1V  ").arg(i % 50000 / 10000.0, 0, 'f', 4);
            const auto start = Clock::now();
            panel.Tick();
            times.push_back(Microseconds(Clock::now() - start));
        }
        Report("incremental frame (one reading text changes)", times);
        texts = RecordModeTexts();
    }

    // A reading arrives and the needle swings: how many ticks paint until it rests.
    {
        pelicard::VuPanel panel(texts);
        panel.vuActivate(picture);
        panel.vuMeters()[0].SetNeedleValue(42.5);
        int painted = 0;
        for (int i = 0; i < kIdleTicks; ++i)
            painted += panel.Tick() ? 1 : 0;
        std::printf("%-44s %d frames in %d ticks\n", "swing to a new reading", painted, kIdleTicks);
    }

    // Needles at rest: the timer keeps ticking, nothing needs painting.
    {
        pelicard::VuPanel panel(texts);
        panel.vuActivate(picture);
        for (std::size_t k = 0; k < 3; ++k)
            panel.vuMeters()[k].SetNeedleValueDirect(Sweep(1, k));
        panel.Tick();
        const std::uint64_t before = panel.GetFramesPainted();
        std::vector<double> times;
        for (int i = 0; i < kIdleTicks; ++i) {
            const auto start = Clock::now();
            panel.Tick();
            times.push_back(Microseconds(Clock::now() - start));
        }
        const double idle = Median(times);
        Report("idle tick (needles at rest)", times);
        std::printf("%-44s %llu per %d ticks\n", "  frames painted while idle",
            static_cast<unsigned long long>(panel.GetFramesPainted() - before), kIdleTicks);
        std::printf("%-44s %.3f %%\n", "  CPU share of the 5 ms timer while idle",
            100.0 * idle / kTimerPeriodMicroseconds);
    }
    return 0;
}
