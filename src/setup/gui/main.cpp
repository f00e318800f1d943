// Setup's entry: the command line decides between the main window and Configure Multiple.
#include "setup/core/FeatureTree.h"
#include "setup/core/SetupStart.h"
#include "setup/core/SetupState.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/ConfigureMultipleDialog.h"
#include "setup/gui/DialogRunner.h"
#include "setup/gui/GuiServices.h"
#include "setup/gui/MainWindow.h"
#include "setup/gui/ToolTipStyle.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle(new ToolTipStyle);
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i) {
        words.emplace_back(argv[i]);
    }
    const SetupStart start = ParseCommandLine(words);
    if (!start.MainWindow) {
        InstallGuiServices(nullptr);
        ConfigureMultipleDialog dialog(nullptr, start.Files);
        RunDialog(dialog);
        return 0;
    }
    UIFeatures features(g_ChipDef);
    g_UIFeatures = &features;
    MainWindow window;
    InstallGuiServices(&window);
    window.show();
    return QApplication::exec();
}
