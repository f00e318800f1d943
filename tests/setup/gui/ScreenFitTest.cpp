// placeholder
#include <QObject>
class ScreenFitTest : public QObject {
    Q_OBJECT
};
QObject* MakeScreenFitTest() {
    return new ScreenFitTest;
}
#include "ScreenFitTest.moc"
