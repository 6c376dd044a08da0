// gravik: the Gravik desktop application.

#include <QApplication>

#include "YKGravik.h"
#include "YKTranslatorIO.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gravik"));
    QApplication::setApplicationVersion(QStringLiteral(GRAVIK_VERSION));
    YKTranslatorIO::RegisterAll();
    YKGravik gravik;
    gravik.Start(QApplication::arguments().mid(1));
    return QApplication::exec();
}
