#include "TOLVEN/ApplicationMain.h"

#include "TOLVEN/AppDelegate.h"
#include "TOLVEN/SceneDelegate.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/interface/ClassRegistry.h"

#include <string>

namespace tolven {

void registerApplicationClasses()
{
    auto& registry = platform::ui::ClassRegistry::shared();
    registry.registerSceneDelegate("SceneDelegate", [] { return std::make_shared<SceneDelegate>(); });
}

int applicationMain(int, char**, const char* principalClassName, const char* delegateClassName)
{
    if (principalClassName || !delegateClassName || std::string(delegateClassName) != "AppDelegate") {
        platform::console("applicationMain: unknown application or delegate class");
        return 1;
    }
    registerApplicationClasses();
    platform::ui::Application::shared().launch(std::make_shared<AppDelegate>());
    platform::RunLoop::main().run();
    return 0;
}

} // namespace tolven
