#include "app/WindowIndicators.h"

#include "window/ControlColours.h"
#include "window/Prompts.h"
#include "window/frmMain.h"

#include <QCoreApplication>
#include <QEvent>

namespace pelicard {

WindowIndicators::WindowIndicators(frmMain& window, Prompts& prompts)
    : window_(window)
    , prompts_(prompts)
{ }

void WindowIndicators::ShowConnection(const std::string& text)
{
    window_.StatusBar1->SetPanelText(3, QString::fromStdString(text));
}

void WindowIndicators::SetLamp(int index, std::uint32_t colour)
{
    if (index < 0 || index >= static_cast<int>(window_.led.size())) {
        return;
    }
    QWidget* lamp = window_.led[static_cast<std::size_t>(index)];
    SetBackColour(lamp, colour);
    // The transaction blocks the event loop while it waits; show the lamp now.
    lamp->repaint();
}

void WindowIndicators::SetLinkButtonColour(std::uint32_t colour)
{
    SetBackColour(window_.CmdSys[0], colour);
}

void WindowIndicators::Beep()
{
    prompts_.Beep();
}

void WindowIndicators::CriticalStop(const std::string& text, const std::string& title)
{
    prompts_.CriticalStop(QString::fromStdString(text), QString::fromStdString(title));
}

namespace {

// Input that reaches the window while a transaction waits is dropped: the user's click must not
// start a second transaction or change what the first one works on.
class InputBlocker : public QObject {
public:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Wheel:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
        }
    }
};

} // namespace

void WindowIndicators::KeepAlive()
{
    InputBlocker blocker;
    QCoreApplication::instance()->installEventFilter(&blocker);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QCoreApplication::instance()->removeEventFilter(&blocker);
}

} // namespace pelicard
