#include "SearchTests.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    int failed = 0;
    failed |= runEngineCatalogueTests(argc, argv);
    failed |= runUrlComposerTests(argc, argv);
    failed |= runEngineFilesTests(argc, argv);
    failed |= runSearchDispatcherTests(argc, argv);
    failed |= runXdgOpenBrowserTests(argc, argv);
    return failed;
}
