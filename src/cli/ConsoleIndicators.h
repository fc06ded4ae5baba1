#pragma once

#include "link/LinkIndicators.h"

#include <ostream>

namespace pelicard {

// What the link shows, on a console: the lamps, the link button and the beep show nothing; a
// critical stop is a message on standard error and marks the meter as lost.
class ConsoleIndicators : public LinkIndicators {
public:
    explicit ConsoleIndicators(std::ostream& err)
        : err_(err)
    { }

    void ShowConnection(const std::string& /*text*/) override { }
    void SetLamp(int /*index*/, std::uint32_t /*colour*/) override { }
    void SetLinkButtonColour(std::uint32_t /*colour*/) override { }
    void Beep() override { }
    void CriticalStop(const std::string& text, const std::string& title) override
    {
        err_ << "pelicard-cli: " << title << ": " << text << '\n' << std::flush;
        lost = true;
    }

    // A critical stop came: the meter cannot be reached.
    bool lost = false;

private:
    std::ostream& err_;
};

} // namespace pelicard
