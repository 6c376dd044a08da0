// gravik: the Gravik desktop application.

#include <QApplication>

#include "YKGravik.h"
#include "YKTranslatorIO.h"
#include "yk_allocator.h"

int main(int argc, char** argv) {
    yk_tune_allocator();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Gravik"));
    QApplication::setApplicationVersion(QStringLiteral(GRAVIK_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("gravik"));
    QStringList files;
    for (const QString& argument : QApplication::arguments().mid(1)) {
        if (!argument.startsWith(QLatin1Char('-'))) {
            files.append(argument);
        }
    }
    // A user runs one Gravik: a second launch hands its files to the first and ends.
    const QString channel = YKGravik::LaunchChannelName();
    if (YKGravik::HandOffToRunning(channel, files)) {
        return 0;
    }
    YKTranslatorIO::RegisterAll();
    YKGravik gravik;
    gravik.ListenForLaunches(channel);
    gravik.SetSplashShown(true);
    gravik.Start(QApplication::arguments().mid(1));
    // Closing the last window ends the run; the documents left are closed as quitting does.
    const int status = QApplication::exec();
    gravik.Quit();
    return status;
}
