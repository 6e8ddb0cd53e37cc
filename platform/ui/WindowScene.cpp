#include "platform/ui/WindowScene.h"

#include <algorithm>

namespace platform::ui {

std::vector<std::shared_ptr<Window>> WindowScene::windows() const
{
    std::vector<std::shared_ptr<Window>> alive;
    for (Window* window : windows_) {
        if (auto shared = std::static_pointer_cast<Window>(window->weak_from_this().lock()))
            alive.push_back(shared);
    }
    return alive;
}

void WindowScene::removeWindow(Window& window)
{
    windows_.erase(std::remove(windows_.begin(), windows_.end(), &window), windows_.end());
}

}
