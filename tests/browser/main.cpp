#include "BrowserTests.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    int failed = 0;
    failed |= runBrowserProtocolTests(argc, argv);
    failed |= runBrowserCommandReaderTests(argc, argv);
    failed |= runBrowserCommandServerTests(argc, argv);
    failed |= runBrowserWindowProxyTests(argc, argv);
    failed |= runBrowserViewTests(argc, argv);
    return failed;
}
