// Pelicard: the desktop companion of a USB data-logger multimeter.

#include "app/Program.h"
#include "app/ProgramDirectory.h"
#include "link/HidapiBackend.h"
#include "virtualmeter/VirtualMeter.h"
#include "window/Clock.h"
#include "window/QtPrompts.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDateTime>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Pelicard"));
    QApplication::setApplicationVersion(QStringLiteral(PELICARD_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Pelicard"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.pelicard.Pelicard"));

    QCommandLineParser options;
    options.setApplicationDescription(QStringLiteral(
        "Companion of a USB data-logger multimeter: gauges, modes, logger download, sampling."));
    options.addHelpOption();
    options.addVersionOption();
    const QCommandLineOption virtualMeter(QStringList { QStringLiteral("virtual-meter") },
        QStringLiteral(
            "Run on the built-in virtual meter instead of USB; VARIANT is 5k, 50k (default) or motor."),
        QStringLiteral("VARIANT"));
    options.addOption(virtualMeter);
    // "--virtual-meter" alone means the 50k variant.
    QStringList arguments = QApplication::arguments();
    for (QString& argument : arguments) {
        if (argument == QLatin1String("--virtual-meter")) {
            argument = QStringLiteral("--virtual-meter=50k");
        }
    }
    options.process(arguments);

    std::unique_ptr<pelicard::RealMeterTime> meterTime;
    std::unique_ptr<pelicard::HidBackend> backend;
    if (options.isSet(virtualMeter)) {
        const auto variant = pelicard::ParseVariant(options.value(virtualMeter).toStdString());
        if (!variant) {
            std::fprintf(stderr, "pelicard: unknown virtual meter \"%s\"; use 5k, 50k or motor.\n",
                qPrintable(options.value(virtualMeter)));
            return 2;
        }
        meterTime = std::make_unique<pelicard::RealMeterTime>();
        auto meter = std::make_unique<pelicard::VirtualMeter>(*variant, *meterTime);
        // The virtual meter's clock starts at the computer's, so that its records look current.
        const QDateTime now = QDateTime::currentDateTime();
        meter->SetClock({ now.date().year(), now.date().month(), now.date().day(), now.time().hour(),
            now.time().minute(), now.time().second() });
        backend = std::move(meter);
    } else {
        backend = std::make_unique<pelicard::HidapiBackend>();
    }

    pelicard::QtPrompts prompts;
    pelicard::SystemClock clock;
    pelicard::Program program(*backend, prompts, clock, pelicard::ProgramDirectory());
    program.Start();
    return QApplication::exec();
}
