#pragma once

#include "link/LinkIndicators.h"

namespace pelicard {

class frmMain;
class Prompts;

// The link's lamps, connection text, link button, beep and message box, shown in the main window.
class WindowIndicators : public LinkIndicators {
public:
    WindowIndicators(frmMain& window, Prompts& prompts);

    void ShowConnection(const std::string& text) override;
    void SetLamp(int index, std::uint32_t colour) override;
    void SetLinkButtonColour(std::uint32_t colour) override;
    void Beep() override;
    void CriticalStop(const std::string& text, const std::string& title) override;
    // Paints and animates; user input waits in the queue until the transaction is over.
    void KeepAlive() override;

private:
    frmMain& window_;
    Prompts& prompts_;
};

} // namespace pelicard
