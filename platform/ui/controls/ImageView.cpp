#include "platform/ui/controls/ImageView.h"

#include "platform/ui/graphics/Image.h"

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

void ImageView::setImage(std::shared_ptr<const Image> image)
{
    image_ = std::move(image);
    invalidateIntrinsicContentSize();
}

Size ImageView::intrinsicContentSize() const
{
    if (!image_)
        return {noIntrinsicMetric, noIntrinsicMetric};
    return image_->size();
}

}
