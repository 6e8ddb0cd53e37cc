#pragma once

#include "platform/ui/View.h"

namespace platform::ui {

class Image;

// Shows an image scaled by its content mode. Its intrinsic size is the
// image's size in points.
class ImageView : public View {
public:
    ImageView();
    explicit ImageView(std::shared_ptr<const Image> image);
    std::string className() const override { return "ImageView"; }

    const std::shared_ptr<const Image>& image() const { return image_; }
    void setImage(std::shared_ptr<const Image> image);
    // The asset name the image came from, when it came from one (tests read it).
    const std::string& imageName() const { return imageName_; }
    void setImageName(std::string name) { imageName_ = std::move(name); }

    Size intrinsicContentSize() const override;

private:
    std::shared_ptr<const Image> image_;
    std::string imageName_;
};

}
