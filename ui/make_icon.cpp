// Build step: writes the window icon as the PNG that is installed with the program.
#include "WindowIcon.h"

int main(int argc, char *argv[])
{
    return argc == 2 && radioIconImage().save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
