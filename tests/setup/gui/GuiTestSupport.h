#pragma once
// What Setup's window tests share: the start and end of each test (a fresh state, and the
// recorder of message boxes and launches installed as the services), the feature model over the
// source tree's templates, a dialog runner that hands each dialog to the test instead of a modal
// loop, a temporary folder, and screenshots under build/screenshots/.
#include "setup/ServiceRecorder.h"
#include "setup/core/FeatureTree.h"
#include "setup/core/SetupState.h"
#include "setup/core/UIFeatures.h"
#include "setup/gui/DialogRunner.h"
#include "support/FileBytes.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QHelpEvent>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QToolTip>
#include <QTreeWidget>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

// Saves a picture of the widget as build/screenshots/<name>.png. The offscreen platform draws
// no window frames, so a window's picture gets a caption bar with its title drawn above it.
inline void Screenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(Q3V_SOURCE_DIR "/build/screenshots");
    QDir().mkpath(folder);
    const QPixmap content = widget.grab();
    if (!widget.isWindow() || widget.windowTitle().isEmpty()) {
        content.save(folder + "/" + name + ".png");
        return;
    }
    constexpr int kCaptionHeight = 24;
    QPixmap picture(content.width(), content.height() + kCaptionHeight);
    picture.fill(QColor(0x2B, 0x4C, 0x7E));
    QPainter painter(&picture);
    painter.setPen(Qt::white);
    painter.drawText(QRect(8, 0, content.width() - 16, kCaptionHeight),
                     Qt::AlignVCenter | Qt::AlignLeft, widget.windowTitle());
    painter.drawPixmap(0, kCaptionHeight, content);
    painter.end();
    picture.save(folder + "/" + name + ".png");
}

// Shows a window and waits until it is the active window with the keyboard focus inside, as
// a window the user has in front of him: shortcuts and the Alt keys of buttons then reach it.
[[nodiscard]] inline bool ShowActive(QWidget& window) {
    window.show();
    return QTest::qWaitForWindowActive(&window) && QTest::qWaitFor([&window] {
               return QApplication::activeWindow() == &window &&
                      window.isAncestorOf(QApplication::focusWidget());
           });
}

// Loads the configuration block of a program file (such as the built play) into g_ChipDef.
inline bool LoadProgramBlock(const std::string& path) {
    const std::vector<std::uint8_t> bytes = q3vtest::ReadFileBytes(path);
    return g_ChipDef.LoadFromImage(bytes.data(), static_cast<std::uint32_t>(bytes.size()), nullptr);
}

// Before each window test: Setup's state as at a fresh start, and the recorder emptied and
// installed as the services.
inline void StartWindowTest(ServiceRecorder& recorder) {
    ResetSetupState();
    recorder = ServiceRecorder();
    recorder.Install();
}

// After each window test: the services taken away and Setup's state as at a fresh start.
inline void EndWindowTest() {
    SetSetupServices({});
    ResetSetupState();
}

// The feature model over g_ChipDef, with the templates of the source tree, as the one the
// windows show; the test keeps it, and sets g_UIFeatures back to nullptr before it goes.
inline std::unique_ptr<UIFeatures> MakeFeatureModel() {
    setenv("ConfigTemplatePath", Q3V_SOURCE_DIR "/src/setup/templates", 1);
    auto model = std::make_unique<UIFeatures>(g_ChipDef);
    g_UIFeatures = model.get();
    return model;
}

// Dialogs shown while the object lives go to onDialog (which answers with the dialog's result);
// without it they are rejected at once.
class DialogRecorder {
public:
    std::function<int(QDialog&)> OnDialog;
    QStringList Shown; // object names of the dialogs, in order
    DialogRecorder() {
        SetDialogRunner([this](QDialog& dialog) {
            Shown << (dialog.objectName().isEmpty() ? dialog.windowTitle() : dialog.objectName());
            return OnDialog ? OnDialog(dialog) : static_cast<int>(QDialog::Rejected);
        });
    }
    ~DialogRecorder() { SetDialogRunner({}); }
};

// The tooltip a tree shows when the mouse rests on the item ("" for none).
inline QString ItemToolTip(QTreeWidget* tree, QTreeWidgetItem* item) {
    QToolTip::hideText();
    if (!QTest::qWaitFor([] { return !QToolTip::isVisible(); })) {
        return "(the last tip stayed)";
    }
    QWidget* viewport = tree->viewport();
    const QPoint position = tree->visualItemRect(item).center();
    QHelpEvent help(QEvent::ToolTip, position, viewport->mapToGlobal(position));
    QApplication::sendEvent(viewport, &help);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
}
