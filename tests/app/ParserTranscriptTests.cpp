// Reply transcripts run through the production framing and parser into the real window. (Random and
// mutated replies are fuzz/ReplyParserFuzz's, with stronger checks.)
// Each line of a file in tests/data/parser: name | given: key=value;... | reply: text | expect: key=value;...
// The reply text is framed by the start and end byte; \xHH writes any byte. A key is a name, then
// a number where the name needs one (lbl0, trend5, log1c2: row 1, column 2 of the logger table).

#include "modes/ModelView.h"
#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace pelicard {
namespace {

using testing::ProgramFixture;
using Pairs = std::vector<std::pair<QString, QString>>;

struct Transcript {
    std::string id; // file_line
    std::string where; // file:line name
    Pairs given;
    std::string reply;
    Pairs expect;
};

std::string Unescape(const QString& text)
{
    std::string out;
    const QByteArray bytes = text.toLatin1();
    for (int i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\\' && i + 3 < bytes.size() && bytes[i + 1] == 'x') {
            out.push_back(static_cast<char>(bytes.mid(i + 2, 2).toInt(nullptr, 16)));
            i += 3;
        } else {
            out.push_back(bytes[i]);
        }
    }
    return out;
}

Pairs ReadPairs(const QString& text)
{
    Pairs pairs;
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int equals = item.indexOf(QLatin1Char('='));
        if (equals > 0) {
            pairs.emplace_back(
                item.left(equals).trimmed(), QString::fromStdString(Unescape(item.mid(equals + 1))));
        }
    }
    return pairs;
}

// A line that does not read as a transcript gets the key "unreadable line", which fails the test.
std::vector<Transcript> LoadTranscripts()
{
    static const QRegularExpression form(
        QStringLiteral("^(.*?) \\| (?:given: (.*?) \\| )?reply: (.*) \\| expect: (.*)$"));
    std::vector<Transcript> all;
    const QDir folder(QStringLiteral(PELICARD_TEST_DATA "/parser"));
    for (const QString& name : folder.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        const QStringList lines
            = QString::fromLatin1(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray())
                  .split(QLatin1Char('\n'));
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed().isEmpty() || lines[i].startsWith(QLatin1Char('#'))) {
                continue;
            }
            const auto m = form.match(lines[i]);
            all.push_back(
                { QStringLiteral("%1_%2").arg(name.section(QLatin1Char('.'), 0, 0)).arg(i + 1).toStdString(),
                    QStringLiteral("%1:%2 %3").arg(name).arg(i + 1).arg(m.captured(1)).toStdString(),
                    ReadPairs(m.captured(2)), Unescape(m.captured(3)),
                    m.hasMatch() ? ReadPairs(m.captured(4))
                                 : Pairs { { QStringLiteral("unreadable line"), {} } } });
        }
    }
    return all;
}

void Given(ProgramFixture& f, const QString& key, const QString& value)
{
    frmMain& w = f.window();
    const int n = value.toInt();
    if (key == QLatin1String("model")) {
        f.program->state.modelId = value.toDouble();
        ApplyModelView(w, f.program->state);
    } else if (key == QLatin1String("tab")) {
        w.SSTab1->setCurrentIndex(n);
    } else if (key == QLatin1String("fun") || key == QLatin1String("rge")) {
        w.cmb[key == QLatin1String("fun") ? 1 : 2]->setCurrentIndex(n);
    } else if (key.startsWith(QLatin1String("lit"))) {
        SetBackColour(
            w.cmdFun[static_cast<std::size_t>(key.mid(3).toInt())], n ? colour::Lit : colour::ButtonFace);
    } else if (key == QLatin1String("prev")) {
        f.program->trend.PrevTrendLevel = n;
    } else if (key == QLatin1String("scale")) {
        f.program->state.scaleText = value;
    } else if (key == QLatin1String("logRow")) {
        f.program->logger.logRow = n;
    } else if (key == QLatin1String("fromMeter")) {
        f.program->state.fromMeter = n != 0;
    } else {
        ADD_FAILURE() << "unknown given key " << key.toStdString();
    }
}

// Everything a transcript may expect, by key.
std::map<QString, QString> Snapshot(ProgramFixture& f)
{
    frmMain& w = f.window();
    const MeterState& s = f.program->state;
    std::map<QString, QString> v;
    const auto put = [&v](const char* key, const QString& value) { v[QLatin1String(key)] = value; };
    const auto number = [](double value) { return QString::number(value); };
    const auto lit = [&w](std::size_t k) { return BackColour(w.cmdFun[k]) == colour::Lit ? 'L' : '-'; };
    put("tab", number(w.SSTab1->currentIndex()));
    put("fun", number(w.cmb[1]->currentIndex()));
    put("function", w.cmb[1]->currentText());
    put("rge", number(w.cmb[2]->currentIndex()));
    put("ranges", number(w.cmb[2]->count()));
    put("hold", number(w.chkHold->isChecked()));
    put("lit", QStringLiteral("%1%2%3").arg(lit(1)).arg(lit(2)).arg(lit(3)));
    put("tmrLog", number(w.tmrLog->Enabled()));
    put("bar", number(w.trdBar->value()));
    put("prev", number(f.program->trend.PrevTrendLevel));
    put("logRow", number(f.program->logger.logRow));
    put("logRows", number(w.grdLog[4]->Rows()));
    put("logTop", number(w.grdLog[4]->TopRow()));
    put("recordRow", number(f.program->records.recordRow));
    put("boxStart", w.grdLog[1]->TextMatrix(0, 1));
    put("boxStop", w.grdLog[2]->TextMatrix(0, 1));
    put("boxTime", w.grdLog[3]->TextMatrix(0, 1));
    put("field1", f.program->parser.replyField[1]);
    put("fromMeter", number(s.fromMeter));
    const auto each = [&v](const char* name, const auto& texts) {
        for (std::size_t i = 0; i < texts.size(); ++i) {
            v[QLatin1String(name) + QString::number(i)] = texts[i];
        }
    };
    each("reading", s.vu.readingText);
    each("scale", s.vu.meterScale);
    each("stamp", s.vu.recordStamp);
    each("trend", f.program->trend.TrendData);
    for (std::size_t i = 0; i < 3; ++i) {
        v[QStringLiteral("lbl%1").arg(i)] = w.lblTrd[i]->text();
        v[QStringLiteral("needle%1").arg(i)] = number(f.program->gauges.vuMeters()[i].GetNeedleValue());
    }
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            v[QStringLiteral("log%1c%2").arg(row).arg(column)] = w.grdLog[4]->TextMatrix(row, column);
            v[QStringLiteral("rec%1c%2").arg(row).arg(column)] = w.grdMain->TextMatrix(row, column);
        }
    }
    return v;
}

class ParserTranscript : public ::testing::TestWithParam<Transcript> { };

TEST_P(ParserTranscript, LeavesTheStateItDescribes)
{
    const Transcript& t = GetParam();
    ProgramFixture f;
    f.program->Start();
    // The window is set up under the guard a reply sets; "fromMeter" then gives the guard the reply meets.
    for (const bool guardKey : { false, true }) {
        f.program->state.fromMeter = !guardKey;
        for (const auto& [key, value] : t.given) {
            if ((key == QLatin1String("fromMeter")) == guardKey) {
                Given(f, key, value);
            }
        }
    }
    f.answers["TEST"] = { t.reply };
    f.Sent();
    f.program->link.SendCommand("TEST");
    // What handlers sent while the reply was walked (the first command is the test's own).
    QStringList sent;
    for (const std::string& command : f.Sent()) {
        sent << QString::fromStdString(command);
    }
    sent.removeFirst();
    std::map<QString, QString> state = Snapshot(f);
    state[QStringLiteral("sent")] = sent.join(QLatin1Char('/'));
    for (const auto& [key, value] : t.expect) {
        ASSERT_TRUE(state.count(key)) << "unknown expect key " << key.toStdString();
        EXPECT_EQ(state[key].toStdString(), value.toStdString()) << t.where << " key " << key.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Transcripts, ParserTranscript, ::testing::ValuesIn(LoadTranscripts()),
    [](const ::testing::TestParamInfo<Transcript>& info) { return info.param.id; });

} // namespace
} // namespace pelicard
