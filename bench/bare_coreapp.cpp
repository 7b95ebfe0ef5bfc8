// The yardstick of the card-tool benchmark: a QCoreApplication that does
// nothing.

#include <QCoreApplication>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return 0;
}
