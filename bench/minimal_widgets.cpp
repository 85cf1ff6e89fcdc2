// The reference for start-up and memory: a Qt Widgets program that shows one label. Its text is
// the product's name, so that it needs the same CJK font as the real program.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label(qEnvironmentVariableIsSet("QUELM_BENCH_ASCII_LABEL") ? QStringLiteral("Hello")
                                                                      : QStringLiteral("QUELM搜索寻踪客"));
    label.show();
    return app.exec();
}
