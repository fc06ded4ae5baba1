// Reply transcripts run through the production framing and parser into the real window.
// Each line of a file in tests/data/parser: name | given: key=value;... | reply: text | expect: key=value;...
// The reply text is framed by the start and end byte; \xHH writes any byte. Keys are listed in Given
// and Check below.

#include "modes/ModelView.h"
#include "support/ProgramFixture.h"
#include "values/Colours.h"
#include "window/ControlColours.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace pelicard {
namespace {

using testing::ProgramFixture;

struct Transcript {
    QString file;
    int line = 0;
    QString name;
    std::vector<std::pair<QString, QString>> given;
    std::string reply;
    std::vector<std::pair<QString, QString>> expect;
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

std::vector<std::pair<QString, QString>> Pairs(const QString& text)
{
    std::vector<std::pair<QString, QString>> pairs;
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int equals = item.indexOf(QLatin1Char('='));
        if (equals > 0) {
            pairs.emplace_back(
                item.left(equals).trimmed(), QString::fromStdString(Unescape(item.mid(equals + 1))));
        }
    }
    return pairs;
}

std::vector<Transcript> LoadTranscripts()
{
    std::vector<Transcript> all;
    const QDir folder(QStringLiteral(PELICARD_TEST_DATA "/parser"));
    for (const QString& name : folder.entryList({ QStringLiteral("*.txt") }, QDir::Files, QDir::Name)) {
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        int number = 0;
        while (!file.atEnd()) {
            ++number;
            const QString line = QString::fromLatin1(file.readLine()).chopped(1);
            if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) {
                continue;
            }
            const QStringList parts = line.split(QStringLiteral(" | "));
            Transcript t;
            t.file = name;
            t.line = number;
            t.name = parts.value(0);
            for (const QString& part : parts.mid(1)) {
                if (part.startsWith(QLatin1String("given:"))) {
                    t.given = Pairs(part.mid(6));
                } else if (part.startsWith(QLatin1String("reply:"))) {
                    // One space follows the colon; everything after it is the reply, spaces included.
                    t.reply = Unescape(part.mid(part.startsWith(QLatin1String("reply: ")) ? 7 : 6));
                } else if (part.startsWith(QLatin1String("expect:"))) {
                    t.expect = Pairs(part.mid(7));
                }
            }
            all.push_back(t);
        }
    }
    return all;
}

class ParserTranscript : public ::testing::TestWithParam<Transcript> { };

void Given(ProgramFixture& f, const QString& key, const QString& value)
{
    frmMain& w = f.window();
    const int n = value.toInt();
    if (key == QLatin1String("model")) {
        f.program->state.modelId = value.toDouble();
        ApplyModelView(w, f.program->state);
    } else if (key == QLatin1String("tab")) {
        w.SSTab1->setCurrentIndex(n);
    } else if (key == QLatin1String("fun")) {
        w.cmb[1]->setCurrentIndex(n);
    } else if (key == QLatin1String("rge")) {
        w.cmb[2]->setCurrentIndex(n);
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

QString Actual(ProgramFixture& f, const QString& key)
{
    frmMain& w = f.window();
    const MeterState& s = f.program->state;
    static const QRegularExpression cell(QStringLiteral("^(log|rec)(\\d+)c(\\d+)$"));
    const auto match = cell.match(key);
    if (match.hasMatch()) {
        FlexGrid& grid = match.captured(1) == QLatin1String("log") ? *w.grdLog[4] : *w.grdMain;
        return grid.TextMatrix(match.captured(2).toInt(), match.captured(3).toInt());
    }
    const auto lit = [&](int k) { return BackColour(w.cmdFun[static_cast<std::size_t>(k)]) == colour::Lit; };
    if (key == QLatin1String("tab"))
        return QString::number(w.SSTab1->currentIndex());
    if (key == QLatin1String("fun"))
        return QString::number(w.cmb[1]->currentIndex());
    if (key == QLatin1String("function"))
        return w.cmb[1]->currentText();
    if (key == QLatin1String("rge"))
        return QString::number(w.cmb[2]->currentIndex());
    if (key == QLatin1String("ranges"))
        return QString::number(w.cmb[2]->count());
    if (key == QLatin1String("hold"))
        return QString::number(w.chkHold->isChecked() ? 1 : 0);
    if (key == QLatin1String("lit"))
        return QStringLiteral("%1%2%3")
            .arg(lit(1) ? 'L' : '-')
            .arg(lit(2) ? 'L' : '-')
            .arg(lit(3) ? 'L' : '-');
    if (key == QLatin1String("tmrLog"))
        return QString::number(w.tmrLog->Enabled() ? 1 : 0);
    if (key.startsWith(QLatin1String("lbl")))
        return w.lblTrd[static_cast<std::size_t>(key.mid(3).toInt())]->text();
    if (key == QLatin1String("bar"))
        return QString::number(w.trdBar->value());
    if (key.startsWith(QLatin1String("trend")))
        return f.program->trend.TrendData[static_cast<std::size_t>(key.mid(5).toInt())];
    if (key == QLatin1String("prev"))
        return QString::number(f.program->trend.PrevTrendLevel);
    if (key == QLatin1String("logRow"))
        return QString::number(f.program->logger.logRow);
    if (key == QLatin1String("logRows"))
        return QString::number(w.grdLog[4]->Rows());
    if (key == QLatin1String("logTop"))
        return QString::number(w.grdLog[4]->TopRow());
    if (key == QLatin1String("recordRow"))
        return QString::number(f.program->records.recordRow);
    if (key == QLatin1String("boxStart"))
        return w.grdLog[1]->TextMatrix(0, 1);
    if (key == QLatin1String("boxStop"))
        return w.grdLog[2]->TextMatrix(0, 1);
    if (key == QLatin1String("boxTime"))
        return w.grdLog[3]->TextMatrix(0, 1);
    if (key.startsWith(QLatin1String("reading")))
        return s.vu.readingText[static_cast<std::size_t>(key.mid(7).toInt())];
    if (key.startsWith(QLatin1String("scale")))
        return s.vu.meterScale[static_cast<std::size_t>(key.mid(5).toInt())];
    if (key.startsWith(QLatin1String("stamp")))
        return s.vu.recordStamp[static_cast<std::size_t>(key.mid(5).toInt())];
    if (key.startsWith(QLatin1String("needle")))
        return QString::number(
            f.program->gauges.vuMeters()[static_cast<std::size_t>(key.mid(6).toInt())].GetNeedleValue());
    if (key == QLatin1String("field1"))
        return f.program->parser.replyField[1];
    if (key == QLatin1String("caption0"))
        return s.vu.ModeCaption[0];
    if (key == QLatin1String("fromMeter"))
        return QString::number(s.fromMeter ? 1 : 0);
    ADD_FAILURE() << "unknown expect key " << key.toStdString();
    return {};
}

TEST_P(ParserTranscript, LeavesTheStateItDescribes)
{
    const Transcript& t = GetParam();
    ProgramFixture f;
    f.program->Start();
    f.program->state.fromMeter = true;
    for (const auto& [key, value] : t.given) {
        if (key != QLatin1String("fromMeter")) {
            Given(f, key, value);
        }
    }
    f.program->state.fromMeter = false;
    for (const auto& [key, value] : t.given) {
        if (key == QLatin1String("fromMeter")) {
            Given(f, key, value);
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
    for (const auto& [key, value] : t.expect) {
        const QString actual = key == QLatin1String("sent") ? sent.join(QLatin1Char('/')) : Actual(f, key);
        EXPECT_EQ(actual.toStdString(), value.toStdString())
            << t.file.toStdString() << ':' << t.line << ' ' << t.name.toStdString() << " key "
            << key.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Transcripts, ParserTranscript, ::testing::ValuesIn(LoadTranscripts()),
    [](const ::testing::TestParamInfo<Transcript>& info) {
        return info.param.file.section(QLatin1Char('.'), 0, 0).toStdString() + "_"
            + std::to_string(info.param.line);
    });

} // namespace
} // namespace pelicard
