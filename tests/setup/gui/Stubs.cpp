#include <QObject>
QObject* MakeDialogsTest() {
    return new QObject;
}
QObject* MakeEndToEndTest() {
    return new QObject;
}
