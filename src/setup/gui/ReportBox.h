#pragma once
// Message boxes that fit the screen. A report too large for the screen's available area (an
// import's many warnings, Configure Multiple's summary of many files) shows its text in a
// read-only scrolling area that fits, under the same icon and title and above the same OK;
// its tabs expand to stops of eight average characters. A box that fits is left as it is. The
// box's text stays the report's text either way.
//
//     QMessageBox box(QMessageBox::Information, title, report, QMessageBox::Ok, owner);
//     FitReportToScreen(box, owner);
class QMessageBox;
class QPlainTextEdit;
class QWidget;

// Turns the box into its scrolling form when it would not fit on owner's screen (the primary
// screen without an owner), leaving room for the window frame that owner has.
void FitReportToScreen(QMessageBox& box, const QWidget* owner);
// The box's scrolling area, nullptr for a box that fits.
QPlainTextEdit* ReportArea(const QMessageBox& box);
