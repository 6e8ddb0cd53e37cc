#include "TOLVEN/ApplicationClasses.h"

#include "TOLVEN/SceneDelegate.h"
#include "TOLVEN/signin/ViewController.h"
#include "platform/ui/interface/ClassRegistry.h"

namespace tolven {

void registerApplicationClasses()
{
    auto& registry = platform::ui::ClassRegistry::shared();
    registry.registerSceneDelegate("SceneDelegate", [] { return std::make_shared<SceneDelegate>(); });
    registry.registerViewController("ViewController", [] { return std::make_shared<ViewController>(); });
}

} // namespace tolven
