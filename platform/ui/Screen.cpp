#include "platform/ui/Screen.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/testing/Seams.h"

namespace platform::ui {

Screen& Screen::main()
{
    static Screen screen;
    return screen;
}

void Screen::setCaptured(bool captured)
{
    if (captured == captured_)
        return;
    captured_ = captured;
    NotificationCenter::defaultCenter().post({capturedDidChangeNotification, {}});
}

void resetScreenForTesting()
{
    Screen::main() = Screen();
}

}
