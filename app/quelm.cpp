#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("QUELM搜索寻踪客"));
    label.show();
    return app.exec();
}
