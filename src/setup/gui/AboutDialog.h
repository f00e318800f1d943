#pragma once
// The About box (211): the program's name with its build and revision numbers in dark blue,
// what the program is for, and a picture; a right double-click on the box shows the other
// picture.
//
//     ShowAbout(owner);
#include <QDialog>

class QLabel;

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent);

    // The picture shown (0 or 1, see AboutPictures.h).
    int Picture() const { return m_Picture; }

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QLabel* m_PictureLabel;
    int m_Picture = 0;
};

// Help > About.
void ShowAbout(QWidget* owner);
