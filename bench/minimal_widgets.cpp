// The reference for start-up and memory: a Qt Widgets program that shows one label. Its text is
// the product's name, so that it needs the same CJK font as the real program.
// QUELM_BENCH_GEOMETRY=WxH+X+Y gives the label a window of that size and place, to show what the
// display server's part of a first frame of the main window's size costs.
#include <QApplication>
#include <QLabel>
#include <QRegularExpression>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label(qEnvironmentVariableIsSet("QUELM_BENCH_ASCII_LABEL") ? QStringLiteral("Hello")
                                                                      : QStringLiteral("QUELM搜索寻踪客"));
    const QRegularExpressionMatch geometry = QRegularExpression(QStringLiteral("^(\\d+)x(\\d+)\\+(\\d+)\\+(\\d+)$"))
                                                 .match(qEnvironmentVariable("QUELM_BENCH_GEOMETRY"));
    if (geometry.hasMatch()) {
        label.setFixedSize(geometry.captured(1).toInt(), geometry.captured(2).toInt());
        label.move(geometry.captured(3).toInt(), geometry.captured(4).toInt());
    }
    label.show();
    return app.exec();
}
