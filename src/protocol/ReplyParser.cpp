#include "protocol/ReplyParser.h"

#include "meter/VuPanel.h"
#include "tables/LoggerTable.h"
#include "tables/RecordTable.h"
#include "trend/TrendPlot.h"
#include "values/Colours.h"
#include "values/Needle.h"
#include "window/ControlColours.h"
#include "window/MeterState.h"
#include "window/frmMain.h"

#include <cmath>

namespace pelicard {

namespace {

QString Text(const std::string& text)
{
    return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}

void Light(QPushButton* button, bool lit)
{
    SetBackColour(button, lit ? colour::Lit : colour::ButtonFace);
}

} // namespace

ReplyParser::ReplyParser(frmMain& window, MeterState& state, RecordTable& records, LoggerTable& logger,
    TrendPlot& trend, VuPanel& gauges)
    : window_(window)
    , state_(state)
    , records_(records)
    , logger_(logger)
    , trend_(trend)
    , gauges_(gauges)
{ }

FieldContext ReplyParser::Context() const
{
    FieldContext context;
    context.tab = window_.SSTab1->currentIndex();
    context.rpmWithoutProg = BackColour(window_.cmdFun[1]) != colour::Lit
        && window_.cmb[1]->currentText().startsWith(QLatin1String("RPM"));
    context.rangeCount = window_.cmb[2]->count();
    return context;
}

// The reply is taken by value on purpose: nested transactions overwrite the transaction's own text.
void ReplyParser::ParseReply(
    std::string replyText, bool ackReply, bool enqReply) // NOLINT(performance-unnecessary-value-param)
{
    if (ackReply || enqReply) {
        return;
    }
    int p = 2;
    for (;;) {
        const ReplyField field = ReadField(replyText, p, Context());
        if (field.kind == ReplyField::Kind::End) {
            return;
        }
        replyField[0] = Text(field.tag);
        if (field.kind == ReplyField::Kind::Unknown) {
            replyField[1] = Text(field.unknownValue);
            return;
        }
        Apply(field);
        p = NextPosition(field, p);
    }
}

void ReplyParser::ShowReading(std::size_t gauge, const std::string& reading)
{
    state_.vu.readingText[gauge] = Text(reading);
    std::string scale = state_.scaleText.toStdString();
    const double needle
        = ReadingToNeedle(reading, window_.cmb[1]->currentText().toStdString(), state_.modelId, scale);
    state_.scaleText = Text(scale);
    state_.vu.meterScale[gauge] = state_.scaleText;
    gauges_.vuMeters()[gauge].SetNeedleValue(std::abs(needle));
}

void ReplyParser::ApplyProgramStatus(int bits)
{
    const int tab = window_.SSTab1->currentIndex();
    if (tab >= 1 && tab <= 3) {
        window_.tmrLog->SetEnabled(false);
        Light(window_.cmdFun[3], (bits & 1) != 0);
        const int shown = window_.SSTab1->currentIndex();
        if (shown >= 1 && shown <= 3) {
            Light(window_.cmdFun[1], (bits & 8) != 0);
        }
    } else if (tab == 0 || tab == 4) {
        window_.tmrLog->SetEnabled(true);
        Light(window_.cmdFun[3], (bits & 2) != 0);
        if (window_.SSTab1->currentIndex() == 0) {
            Light(window_.cmdFun[2], (bits & 4) != 0);
        }
    }
}

void ReplyParser::Apply(const ReplyField& field)
{
    using Kind = ReplyField::Kind;
    switch (field.kind) {
    case Kind::Mod:
        // A mode the tab control does not have is ignored, with the reading left as it was.
        if (field.number && *field.number >= 0 && *field.number < window_.SSTab1->count()) {
            window_.SSTab1->setCurrentIndex(*field.number);
            state_.vu.readingText[0].clear();
        }
        break;
    case Kind::Fun:
        if (field.number && *field.number >= 0 && *field.number < window_.cmb[1]->count()) {
            window_.cmb[1]->setCurrentIndex(*field.number);
        }
        break;
    case Kind::Rge:
        if (field.number && *field.number >= 0 && *field.number < window_.cmb[2]->count()) {
            window_.cmb[2]->setCurrentIndex(*field.number);
        }
        break;
    case Kind::Hld:
        // A hold state other than on or off is ignored. The guard is put back as it was, so that a
        // reply read under the link's guard stays under it after this field.
        if (field.number && (*field.number == 0 || *field.number == 1)) {
            const bool wasFromMeter = state_.fromMeter;
            state_.fromMeter = true;
            window_.chkHold->setChecked(*field.number == 1);
            state_.fromMeter = wasFromMeter;
        }
        break;
    case Kind::Pst:
        ApplyProgramStatus(field.number.value_or(0));
        break;
    case Kind::Ptv:
        for (std::size_t k = 0; k < 3; ++k) {
            window_.lblTrd[k]->setText(Text(field.labels[k]));
        }
        break;
    case Kind::Ptr: {
        // A point the table or the plot cannot hold is ignored whole.
        // So is one whose value is text, which a saved trend file could not load back.
        if (!field.number || !field.level) {
            break;
        }
        const int index = *field.number;
        if (!TrendPlot::IndexFits(index) || !TrendPlot::LevelFits(*field.level)
            || index > window_.trdBar->maximum()) {
            break;
        }
        window_.trdBar->setValue(index);
        window_.trdBar->repaint();
        trend_.TrendData[static_cast<std::size_t>(index)] = Text(field.levelText);
        trend_.AddTrendPoint(index, *field.level);
        break;
    }
    case Kind::Plr:
        if (logger_.AddRecord(Text(field.address), Text(field.time), Text(field.readings[0]))) {
            window_.tmrLog->SetEnabled(false);
        }
        break;
    case Kind::Plv:
        window_.grdLog[3]->SetTextMatrix(0, 1, Text(field.samplingTime));
        window_.grdLog[1]->SetTextMatrix(0, 1, Text(field.startAddress));
        window_.grdLog[2]->SetTextMatrix(0, 1, Text(field.stopAddress));
        break;
    case Kind::Prv:
        ShowReading(1, field.readings[1]);
        break;
    case Kind::Pcv:
        ShowReading(1, field.readings[1]);
        ShowReading(2, field.readings[2]);
        break;
    case Kind::Drm:
        ShowReading(0, field.readings[0]);
        if (!state_.liveReading) {
            records_.WriteRecord(state_.vu.readingText[0]);
        }
        if (field.drmForm == ReplyField::DrmForm::Record) {
            ShowReading(1, field.readings[1]);
            state_.vu.recordStamp[0] = Text(field.stamps[0]);
            ShowReading(2, field.readings[2]);
            state_.vu.recordStamp[1] = Text(field.stamps[1]);
        } else if (field.drmForm == ReplyField::DrmForm::Relative) {
            state_.vu.readingText[2] = Text(field.relativeValue);
            const double needle = PercentToNeedle(field.relativeValue);
            state_.vu.meterScale[2] = QStringLiteral("X1");
            state_.vu.recordStamp[1].clear();
            gauges_.vuMeters()[2].SetNeedleValue(needle);
        }
        break;
    case Kind::Unknown:
    case Kind::End:
        break;
    }
}

} // namespace pelicard
