#include "TOLVEN/ApplicationMain.h"
#include "platform/sim/SimulatedPhone.h"

int main(int argc, char** argv)
{
    platform::installSimulatedPhone();
    return tolven::applicationMain(argc, argv, nullptr, "AppDelegate");
}
