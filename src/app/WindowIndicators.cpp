#include "app/WindowIndicators.h"

#include "window/Colours.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

namespace pelicard {

WindowIndicators::WindowIndicators(frmMain& window, Prompts& prompts)
    : window(window)
    , prompts(prompts)
{ }

void WindowIndicators::ShowConnection(const std::string& text)
{
    window.StatusBar1->SetPanelText(3, QString::fromStdString(text));
}

void WindowIndicators::SetLamp(int index, std::uint32_t colour)
{
    if (index < 0 || index >= static_cast<int>(window.led.size())) {
        return;
    }
    QWidget* lamp = window.led[static_cast<std::size_t>(index)];
    SetBackColour(lamp, colour);
    // The transaction blocks the event loop while it waits; show the lamp now.
    lamp->repaint();
}

void WindowIndicators::SetLinkButtonColour(std::uint32_t colour)
{
    SetBackColour(window.CmdSys[0], colour);
}

void WindowIndicators::Beep()
{
    prompts.Beep();
}

void WindowIndicators::CriticalStop(const std::string& text, const std::string& title)
{
    prompts.CriticalStop(QString::fromStdString(text), QString::fromStdString(title));
}

} // namespace pelicard
