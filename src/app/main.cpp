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
#include <QSocketNotifier>

#include <cerrno>
#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_UNIX
// The pipe between the SIGUSR1 handler and the event loop. A signal handler can reach nothing
// else, so this is the program's one file-scope variable.
int unplugPipe[2] = { -1, -1 };

extern "C" void OnUnplugSignal(int /*signal*/)
{
    // Only async-signal-safe calls here: one byte into the pipe, errno left as it was.
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(unplugPipe[1], &byte, 1);
    errno = savedErrno;
}

// Developers (and the end-to-end test) unplug the virtual meter from outside the process and plug
// it in again: each SIGUSR1 toggles it. The handler only writes to a pipe; the event loop reads
// the pipe and acts, so no Qt call ever runs inside the handler.
std::unique_ptr<QSocketNotifier> WatchUnplugSignal(pelicard::VirtualMeter& meter)
{
    if (::pipe(unplugPipe) != 0) {
        return nullptr;
    }
    for (const int end : unplugPipe) {
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
    }
    auto notifier = std::make_unique<QSocketNotifier>(unplugPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, notifier.get(), [&meter] {
        char bytes[64];
        ssize_t count = 0;
        while ((count = ::read(unplugPipe[0], bytes, sizeof bytes)) > 0) {
            for (ssize_t i = 0; i < count; ++i) {
                meter.SetUnplugged(!meter.Unplugged());
                std::fprintf(stderr, "pelicard: virtual meter %s\n",
                    meter.Unplugged() ? "unplugged" : "plugged in again");
            }
        }
    });
    struct sigaction action = {};
    action.sa_handler = OnUnplugSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGUSR1, &action, nullptr) != 0) {
        return nullptr;
    }
    return notifier;
}
#endif

} // namespace

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
    std::unique_ptr<QSocketNotifier> unplugWatch;
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
#ifdef Q_OS_UNIX
        unplugWatch = WatchUnplugSignal(*meter);
#endif
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
