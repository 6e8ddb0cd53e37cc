#include "platform/ui/Layer.h"

#include <algorithm>

namespace platform::ui {

Layer::~Layer()
{
    for (auto& sublayer : sublayers_)
        sublayer->superlayer_ = nullptr;
}

void Layer::addSublayer(const std::shared_ptr<Layer>& layer)
{
    insertSublayer(layer, sublayers_.size());
}

void Layer::insertSublayer(const std::shared_ptr<Layer>& layer, std::size_t index)
{
    if (!layer || layer.get() == this)
        return;
    auto keepAlive = layer;
    layer->removeFromSuperlayer();
    index = std::min(index, sublayers_.size());
    sublayers_.insert(sublayers_.begin() + static_cast<std::ptrdiff_t>(index), layer);
    layer->superlayer_ = this;
}

void Layer::removeFromSuperlayer()
{
    if (!superlayer_)
        return;
    auto& siblings = superlayer_->sublayers_;
    auto it = std::find_if(siblings.begin(), siblings.end(), [this](const auto& l) { return l.get() == this; });
    superlayer_ = nullptr;
    if (it != siblings.end())
        siblings.erase(it);
}

}
