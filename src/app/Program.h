#pragma once

#include "app/WindowIndicators.h"
#include "link/ApiUsb.h"
#include "link/Transaction.h"
#include "meter/VuPanel.h"
#include "modes/ModeButtons.h"
#include "modes/ModeControls.h"
#include "modes/SetupPanel.h"
#include "protocol/LiveReading.h"
#include "protocol/ReceiveLoop.h"
#include "protocol/ReplyParser.h"
#include "tables/LoggerFileBar.h"
#include "tables/LoggerTable.h"
#include "tables/RecordChart.h"
#include "tables/RecordTable.h"
#include "trend/TrendFileBar.h"
#include "trend/TrendPlot.h"
#include "window/MeterState.h"
#include "window/frmMain.h"

#include <QString>

#include <memory>

namespace pelicard {

class Clock;
class HidBackend;
class Prompts;

// The composition root: creates the program's objects, passes them to each other and connects the
// window's controls to their handlers.
class Program {
public:
    Program(HidBackend& backend, Prompts& prompts, const Clock& clock, QString programDirectory);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the window (which looks for the meter) and shows it.
    void Start();

    void InitMeter();
    void CmdSys_Click(int index);
    void Command3_Click();
    void Form_Activate();

    bool Linked() const;

    QString iniPath;

    // Declared in the order they are built: the gauges first, the window, then what works on it.
    MeterState state;
    VuPanel gauges;
    frmMain window;
    Prompts& prompts;
    const Clock& clock;
    WindowIndicators indicators;
    ApiUsb usb;
    Transaction link;
    TrendPlot trend;
    TrendFileBar trendFile;
    LoggerTable logger;
    LoggerFileBar loggerFile;
    RecordTable records;
    ModeControls modes;
    SetupPanel setup;
    ModeButtons buttons;
    ReplyParser parser;
    ReceiveLoop loop;
    RecordChart chart;
    LiveReading live;

private:
    void Link();
    void Unlink();
    // Writes the three remembered file names and the live reading setting; runs whenever the
    // window closes.
    void SaveFileNames();
    void SetPanelsEnabled(bool enabled);
    // Stops the logger download, sampling and the live reading, which talk to the meter on a timer.
    void StopMeterActivity();
    void Connect();

    HidBackend& backend_;
    QString programDirectory_;
};

} // namespace pelicard
