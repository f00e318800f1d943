#pragma once
// What Setup's window tests share: the recorder of message boxes and launches installed as the
// services, a dialog runner that hands each dialog to the test instead of a modal loop, a
// temporary folder, and screenshots under build/screenshots/.
#include "setup/ServiceRecorder.h"
#include "setup/core/SetupState.h"
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
#include <fstream>
#include <functional>
#include <iterator>
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

// Loads the configuration block of a program file (such as the built play) into g_ChipDef.
inline bool LoadProgramBlock(const std::string& path) {
    const std::vector<std::uint8_t> bytes = q3vtest::ReadFileBytes(path);
    return g_ChipDef.LoadFromImage(bytes.data(), static_cast<std::uint32_t>(bytes.size()), nullptr);
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
