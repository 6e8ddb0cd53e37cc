#include "TOLVEN/ApplicationMain.h"

int main(int argc, char** argv)
{
    return tolven::applicationMain(argc, argv, nullptr, "AppDelegate");
}
