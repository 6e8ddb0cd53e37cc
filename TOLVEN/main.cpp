#include "TOLVEN/AppDelegate.h"
#include "TOLVEN/ApplicationClasses.h"
#include "platform/sim/SimulatedPhone.h"
#include "platform/ui/ApplicationMain.h"

int main(int argc, char** argv)
{
    platform::installSimulatedPhone();
    tolven::registerApplicationClasses();
    return platform::ui::applicationMain(argc, argv, [] { return std::make_shared<tolven::AppDelegate>(); });
}
