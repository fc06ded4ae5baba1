#pragma once

#include "app/Program.h"
#include "link/FakeHidBackend.h"
#include "window/Clock.h"
#include "window/PromptRecorder.h"

#include <QTemporaryDir>

#include <map>
#include <memory>

namespace pelicard::testing {

// A program on a scripted meter: each command text is answered from `answers` (a missing entry
// is acknowledged, "GTL" is never answered), prompts are recorded and the clock stands still.
struct ProgramFixture {
    QTemporaryDir dir;
    FakeHidBackend backend;
    PromptRecorder prompts;
    FixedClock clock { QDateTime(QDate(2011, 12, 21), QTime(14, 5, 9)) };
    std::map<std::string, std::vector<std::string>> answers {
        { "SD0", { "sd0Test Meter 50,000 Count" } },
        { "SD9", { "sd91" } },
        { "FUN??,RGE??,MOD??,HLD??,PST??", { "fun00,rge10,mod00,hld00,pst00" } },
        { "PLV??,PST??", { "plv001,00000,00500,pst00" } },
        { "PST??", { "pst00" } },
        { "PRV??,PST??", { "prv  1.0000V  ,pst00" } },
        { "PCV??,PST??", { "pcv  4.0000V  ,  1.0000V  ,pst00" } },
        { "PTV??,PST??", { "ptv-200.00mVdc, 200.00mVdc,20S:pst00" } },
        { "DRM", { "drm  1.2345V  " } },
    };
    std::unique_ptr<Program> program;

    explicit ProgramFixture(std::uint16_t productId = 0xE101)
    {
        backend.interfaces = { { "keyboard", 0x046D, 0xC31C }, { "meter", 0x10C4, productId } };
        backend.respond = [this](const std::string& command) -> std::vector<std::string> {
            if (command == "GTL") {
                return {};
            }
            const auto found = answers.find(command);
            return found != answers.end() ? found->second : std::vector<std::string> { "\x06" };
        };
        program = std::make_unique<Program>(backend, prompts, clock, dir.path());
    }

    // Starts the program (and links when asked), then forgets what that sent and showed.
    void StartQuietly(bool linked)
    {
        program->Start();
        if (linked) {
            program->CmdSys_Click(0);
        }
        Sent();
        prompts.Clear();
    }

    frmMain& window() { return program->window; }
    QString IniPath(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    // Commands sent since the last call.
    std::vector<std::string> Sent()
    {
        const auto& all = backend.Commands();
        std::vector<std::string> fresh(all.begin() + static_cast<std::ptrdiff_t>(seen), all.end());
        seen = all.size();
        return fresh;
    }

private:
    std::size_t seen = 0;
};

} // namespace pelicard::testing
