#pragma once
// The Registers tab (207): the note above the list (1802), the register list (1801) with one
// row per entry of the configuration's register list and the columns "REG", "REGISTER NAME",
// "HEX", "BIN" and "DEC", and the warning line below it (1803, empty). Showing the tab marks
// the rows another tab overwrote, fills the list, reports the overwritten rows through
// StatusText and brings back the first visible row and the selection of the last visit;
// hiding it keeps them. A double-click or Return on a row opens the register dialog (210).
// The rows' texts, marks and tooltips come from g_RegistersPage.
#include <QWidget>
#include <cstdint>

class QTreeWidget;

class RegistersTab : public QWidget {
    Q_OBJECT
public:
    explicit RegistersTab(QWidget* parent = nullptr);

    // Fills the list afresh, as when the tab is shown (after another file was opened).
    void Reopen();
    QTreeWidget* List() const { return m_List; }

signals:
    // A message for the status box from owner id with the status box's flag bits.
    void StatusText(std::uint32_t id, std::uint32_t flags, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void Open();
    void SaveView();
    void Fill();
    // Widens the HEX, BIN and DEC columns to the widest number their rows can show.
    void FitValueColumns();
    void ShowRow(int row);
    void ReportOverwritten();
    void OpenRow(int row);

    QTreeWidget* m_List = nullptr;
    int m_HotRow = -1;
};
