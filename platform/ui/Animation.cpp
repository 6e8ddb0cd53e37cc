#include "platform/ui/Animation.h"

#include "platform/foundation/DispatchQueue.h"

namespace platform::ui {

void animate(Duration duration, std::function<void()> animations, std::function<void(bool)> completion)
{
    if (animations)
        animations();
    if (!completion)
        return;
    auto finish = [completion = std::move(completion)] { completion(true); };
    if (duration > Duration::zero())
        DispatchQueue::main().asyncAfter(duration, std::move(finish));
    else
        DispatchQueue::main().async(std::move(finish));
}

}
