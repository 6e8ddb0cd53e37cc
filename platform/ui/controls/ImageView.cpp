#include "platform/ui/controls/ImageView.h"

namespace platform::ui {

ImageView::ImageView()
{
    setUserInteractionEnabled(false);
}

ImageView::ImageView(std::shared_ptr<const Image> image)
    : ImageView()
{
    image_ = std::move(image);
}

}
