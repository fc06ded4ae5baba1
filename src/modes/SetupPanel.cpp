#include "modes/SetupPanel.h"

#include "link/Transaction.h"
#include "values/Colours.h"
#include "values/Commands.h"
#include "window/ControlColours.h"
#include "window/MeterState.h"
#include "window/Prompts.h"
#include "window/Twips.h"
#include "window/frmMain.h"

#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelicard {

namespace {

// How "Set" writes a field.
enum class Field {
    None, // not sent
    Unit, // a number with a unit, as a setup value code
    Count, // a whole number
    Seconds, // a whole number of seconds, "20" or "20S" as the trend plot shows it
};

struct PanelKind {
    std::array<const char*, 4> captions; // title, then the three field captions
    std::array<Field, 3> fields;
    std::string_view kind;
};

// Per tab; Record Mode (1) has no panel.
const std::array<PanelKind, 5> Kinds { {
    { { "Logger Setup", "Sampling Time", "Start Address", "Stop Address" },
        { Field::Count, Field::Count, Field::Count }, command::LoggerParameters },
    { { "", "", "", "" }, { Field::None, Field::None, Field::None }, {} },
    { { "Relative Ref Setup", "Reference", "", "" }, { Field::Unit, Field::None, Field::None },
        command::RelativeParameters },
    { { "Compare Setup", "Hi Limit", "Lo Limit", "" }, { Field::Unit, Field::Unit, Field::None },
        command::CompareParameters },
    { { "Trend Setup", "Reference", "V/DIV", "H/DIV" }, { Field::Unit, Field::Unit, Field::Seconds },
        command::TrendParameters },
} };

const std::array<const char*, 4> VehicleCaptions { "Vehicle Inform", "CYLINDER", "STROKE", "TRIGGER" };

// The back colour of a field that "Set" could not send: light red.
constexpr std::uint32_t RefusedField = 0x8080FF;

const PanelKind* KindOf(const QString& setupKind)
{
    if (setupKind.isEmpty()) {
        return nullptr;
    }
    for (const PanelKind& kind : Kinds) {
        if (setupKind == QLatin1String(kind.kind.data(), static_cast<qsizetype>(kind.kind.size()))) {
            return &kind;
        }
    }
    return nullptr;
}

// The time per division: a count, followed by the unit "S" or not.
std::optional<std::string> EncodeSeconds(std::string_view text)
{
    if (!text.empty() && text.back() == 'S') {
        text.remove_suffix(1);
    }
    return EncodeCount(text);
}

QString RefusalLine(Field field, const QString& caption, const QString& text)
{
    if (field == Field::Unit) {
        return QStringLiteral("%1: \"%2\" is not a number with a unit that the meter takes.")
            .arg(caption, text);
    }
    if (field == Field::Seconds) {
        return QStringLiteral(
            "%1: \"%2\" is not a number of seconds; type a whole number, such as 20 or 20S.")
            .arg(caption, text);
    }
    return QStringLiteral("%1: \"%2\" is not a number; type a whole number, such as 10.").arg(caption, text);
}

} // namespace

SetupPanel::SetupPanel(frmMain& window, MeterState& state, Transaction& link, Prompts& prompts)
    : window_(window)
    , state_(state)
    , link_(link)
    , prompts_(prompts)
{ }

bool SetupPanel::Shown() const
{
    return !window_.picSup->isHidden();
}

void SetupPanel::Hide()
{
    window_.picSup->hide();
}

void SetupPanel::ClearMarks()
{
    for (std::size_t i = 1; i <= 3; ++i) {
        SetBackColour(window_.txtSup[i], colour::SystemWindow);
    }
}

void SetupPanel::OpenSetupPanel()
{
    ClearMarks();
    SetHeightTwips(window_.picSup, ModeHeightTwips);
    window_.chkDli->hide();
    vehicleForm_ = window_.cmb[1]->currentText().left(3) == QLatin1String("RPM")
        && BackColour(window_.cmdFun[1]) == colour::ButtonFace;
    if (vehicleForm_) {
        SetHeightTwips(window_.picSup, VehicleHeightTwips);
        window_.panIg->hide();
        for (std::size_t i = 0; i < 4; ++i) {
            window_.lblSup[i]->setText(QString::fromLatin1(VehicleCaptions[i]));
        }
        window_.chkDli->show();
    } else {
        const int tab = window_.SSTab1->currentIndex();
        if (tab < 0 || tab >= static_cast<int>(Kinds.size())
            || Kinds[static_cast<std::size_t>(tab)].kind.empty()) {
            setupKind.clear();
            return;
        }
        const PanelKind& kind = Kinds[static_cast<std::size_t>(tab)];
        for (std::size_t i = 0; i < 4; ++i) {
            window_.lblSup[i]->setText(QString::fromLatin1(kind.captions[i]));
        }
        std::array<QString, 3> fields;
        switch (tab) {
        case 0:
            fields = { window_.grdLog[3]->TextMatrix(0, 1), window_.grdLog[1]->TextMatrix(0, 1),
                window_.grdLog[2]->TextMatrix(0, 1) };
            break;
        case 2:
            fields = { state_.vu.readingText[1], QString(), QString() };
            break;
        case 3:
            fields = { state_.vu.readingText[1], state_.vu.readingText[2], QString() };
            break;
        default:
            fields = { window_.lblTrd[0]->text(), window_.lblTrd[1]->text(), window_.lblTrd[2]->text() };
            break;
        }
        for (std::size_t i = 0; i < 3; ++i) {
            window_.txtSup[i + 1]->setText(fields[i]);
        }
        setupKind = QString::fromLatin1(kind.kind.data(), static_cast<qsizetype>(kind.kind.size()));
    }
    window_.picSup->show();
    window_.picSup->raise();
}

void SetupPanel::cmdSup_Click(int index)
{
    if (index == 0) {
        Set();
    } else if (index == 1) {
        Hide();
    }
}

void SetupPanel::Set()
{
    ClearMarks();
    // The vehicle information form has no parameter command of its own: nothing is sent.
    const PanelKind* kind = vehicleForm_ ? nullptr : KindOf(setupKind);
    if (kind == nullptr) {
        Hide();
        return;
    }

    std::vector<std::string> codes;
    QStringList refusals;
    bool unitRefused = false;
    for (std::size_t i = 0; i < kind->fields.size(); ++i) {
        const Field field = kind->fields[i];
        if (field == Field::None) {
            continue;
        }
        QLineEdit* box = window_.txtSup[i + 1];
        const QString text = box->text().trimmed();
        const std::string typed = text.toStdString();
        std::optional<std::string> code;
        if (field == Field::Unit) {
            code = encoder_.Encode(typed);
        } else if (field == Field::Seconds) {
            code = EncodeSeconds(typed);
        } else {
            code = EncodeCount(typed);
        }
        if (code) {
            codes.push_back(*code);
            continue;
        }
        // Sending an earlier value in place of this one would set the meter to what nobody typed.
        SetBackColour(box, RefusedField);
        refusals << RefusalLine(field, QString::fromLatin1(kind->captions[i + 1]), text);
        unitRefused = unitRefused || field == Field::Unit;
    }
    if (!refusals.isEmpty()) {
        QString message = refusals.size() == 1
            ? QStringLiteral("Nothing was sent to the meter; correct the marked field and press Set again.")
            : QStringLiteral("Nothing was sent to the meter; correct the marked fields and press Set again.");
        message += QLatin1Char('\n') + refusals.join(QLatin1Char('\n'));
        if (unitRefused) {
            message += QStringLiteral("\n\n") + QString::fromStdString(AcceptedSetupValues());
        }
        prompts_.Ok(message);
        return;
    }

    link_.SendCommand(command::BuildParameterCommand(kind->kind, codes));
    // The meter's answer puts the values it holds back into the displays the panel was filled from.
    link_.SendCommand(command::BuildParameterQuery(kind->kind));
    Hide();
}

} // namespace pelicard
