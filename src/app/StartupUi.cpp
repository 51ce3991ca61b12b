#include "app/StartupUi.h"

#include <QApplication>
#include <QMainWindow>

int RunQuorvel(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.show();
    return application.exec();
}
