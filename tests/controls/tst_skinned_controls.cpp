#include "SkinnedControlTests.h"

#include "controls/XP_Unit.h"

#include <QApplication>

int main(int argc, char** argv)
{
    XP_UnitStartup();
    QApplication app(argc, argv);
    int failed = 0;
    failed |= runCheckBoxTests(argc, argv);
    failed |= runRadioBoxTests(argc, argv);
    failed |= runButtonTests(argc, argv);
    failed |= runUrlTests(argc, argv);
    failed |= runReferenceTests(argc, argv);
    return failed;
}
