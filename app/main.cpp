#include "app/Launcher.h"

int main(int argc, char **argv)
{
    return runRecorderApplication(argc, argv);
}
