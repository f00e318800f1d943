#pragma once
// Setup's main window: the tab control with the Features and Registers pages, the
// "Diagnostics" group with the status box below it, and the menu. Its commands call the core
// (open, save, save as, Configure Multiple, Save and Run) and then refresh the title, the
// status box and the menu. Files dropped on it open Configure Multiple. Widgets and actions
// carry the system's control ids as object names ("1103" the status box, "40002" Save).
//
//     MainWindow window;
//     window.show();
#include "setup/core/StatusBox.h"

#include <QAction>
#include <QMainWindow>
#include <QMap>

class QPlainTextEdit;
class QTabWidget;
class QMenu;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The status box: a message from owner id with the flag bits of StatusBox.
    void SetStatusText(std::uint32_t id, std::uint32_t flags, const std::string& text);
    // After the open file changed (Open, Import): the current page made anew, then the title,
    // the status box (forced, empty) and the menu.
    void RefreshAfterOpen();
    void UpdateMainTitle();
    void UpdateMenuState();

    // The action of a menu item id (40001 ...), nullptr for none.
    QAction* Action(int id) const { return m_Actions.value(id, nullptr); }
    QMenu* FileMenu() const { return m_FileMenu; }
    QMenu* HelpMenu() const { return m_HelpMenu; }
    QPlainTextEdit* StatusBoxWidget() const { return m_StatusBox; }
    const StatusBox& StatusState() const { return m_Status; }

    // Opens Configure Multiple with these files (drop, command line).
    void ConfigureFiles(const std::vector<std::string>& files);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* AddAction(QMenu* menu, int id, const QString& text);
    void BuildMenu();
    void BuildPages();
    void PaintStatusBox();
    void OnOpen();
    void OnSave();
    void OnSaveAs();
    void OnSaveAndRun();
    void OnCommandLine();
    void OnToolTipDelay(std::uint32_t index);

    QTabWidget* m_Tabs = nullptr;
    QPlainTextEdit* m_StatusBox = nullptr;
    QMenu* m_FileMenu = nullptr;
    QMenu* m_HelpMenu = nullptr;
    QMap<int, QAction*> m_Actions;
    StatusBox m_Status;
};
