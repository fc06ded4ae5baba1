#pragma once

#include <cstdint>
#include <string>

namespace pelicard {

// What the meter link shows the user. The window implements it; the link never sees a widget.
class LinkIndicators {
public:
    virtual ~LinkIndicators() = default;
    // Panel 3 of the status bar: "Connected" or "Disconnected".
    virtual void ShowConnection(const std::string& text) = 0;
    // led(0) transmit, led(1) receive; redrawn at once.
    virtual void SetLamp(int index, std::uint32_t colour) = 0;
    virtual void SetLinkButtonColour(std::uint32_t colour) = 0;
    virtual void Beep() = 0;
    // A message box with the critical-stop icon; returns when the user closes it.
    virtual void CriticalStop(const std::string& text, const std::string& title) = 0;
    // Called between the slices of a wait for the meter, so the window can repaint and animate.
    // It must not let user input or timer ticks start anything (the transaction is in progress).
    virtual void KeepAlive() { }
};

} // namespace pelicard
