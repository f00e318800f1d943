// Runs one of Setup's window test classes, named by the first argument (all without one).
#include "setup/gui/ToolTipStyle.h"

#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

QObject* MakeMainWindowTest();
QObject* MakeDialogsTest();
QObject* MakeEndToEndTest();
QObject* MakeFeaturesTabTest();
QObject* MakeRegistersTabTest();
QObject* MakeExportDialogTest();
QObject* MakeFeatureDialogsTest();
QObject* MakeIniImportTest();
QObject* MakeTypedNamesTest();
QObject* MakeScreenFitTest();

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(new ToolTipStyle);
    struct Entry {
        const char* Name;
        std::function<QObject*()> Make;
    };
    const std::vector<Entry> classes = {{"MainWindowTest", MakeMainWindowTest},
                                        {"DialogsTest", MakeDialogsTest},
                                        {"EndToEndTest", MakeEndToEndTest},
                                        {"FeaturesTabTest", MakeFeaturesTabTest},
                                        {"RegistersTabTest", MakeRegistersTabTest},
                                        {"ExportDialogTest", MakeExportDialogTest},
                                        {"FeatureDialogsTest", MakeFeatureDialogsTest},
                                        {"IniImportTest", MakeIniImportTest},
                                        {"TypedNamesTest", MakeTypedNamesTest},
                                        {"ScreenFitTest", MakeScreenFitTest}};
    const char* only = argc > 1 ? argv[1] : nullptr;
    int failures = 0;
    int run = 0;
    for (const Entry& entry : classes) {
        if (only != nullptr && std::strcmp(only, entry.Name) != 0) {
            continue;
        }
        QObject* test = entry.Make();
        failures += QTest::qExec(test, 1, argv);
        delete test;
        ++run;
    }
    // A class this program does not know must not pass as a test that ran.
    if (run == 0) {
        std::fprintf(stderr, "no window test class named %s\n", only);
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
