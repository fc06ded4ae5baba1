// The smallest Qt Widgets program with a window: bench/run measures it beside Pelicard, so that each
// figure can be read against what Qt itself costs on the same machine in the same minute.
//
// Usage: bare_window [WIDTHxHEIGHT]   an empty window of that size (bench/run gives Pelicard's).
#include <QApplication>
#include <QRegularExpression>
#include <QSize>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QSize size(640, 480);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QRegularExpressionMatch match
            = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)$")).match(arguments.at(1));
        if (match.hasMatch()) {
            size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        }
    }
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.resize(size);
    window.show();
    return QApplication::exec();
}
