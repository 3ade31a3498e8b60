#include "application.h"
#include "windows.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    setUpApplication(app);
    Windows windows;
    windows.start();
    return QApplication::exec();
}
