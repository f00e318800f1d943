#pragma once
// The About box's two pictures, drawn at run time: a display panel showing colour bars, and
// the display controller chip that drives it.
//
//     label->setPixmap(AboutPicture(0));
#include <QPixmap>

inline constexpr int kAboutPictureCount = 2;

// Picture 0 (the panel) or 1 (the controller); other numbers give picture 0.
QPixmap AboutPicture(int which);
