#include "app/start.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    return Start::ausfuehren(app);
}
