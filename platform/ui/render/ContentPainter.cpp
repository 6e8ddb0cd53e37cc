#include "platform/ui/render/ContentPainter.h"

#include "platform/ui/Screen.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/PageControl.h"
#include "platform/ui/controls/TableView.h"
#include "platform/ui/controls/TableViewCell.h"
#include "platform/ui/controls/TextField.h"
#include "platform/ui/controls/VisualEffectView.h"
#include "platform/ui/render/Painter.h"

#include <algorithm>

namespace platform::ui {

namespace {

Rect placeImage(Size image, const Rect& bounds, ContentMode mode)
{
    if (image.width <= 0 || image.height <= 0)
        return bounds;
    auto centred = [&](Size size) {
        return Rect { bounds.midX() - size.width / 2, bounds.midY() - size.height / 2, size.width, size.height };
    };
    switch (mode) {
    case ContentMode::scaleToFill:
    case ContentMode::redraw:
        return bounds;
    case ContentMode::scaleAspectFit:
    case ContentMode::scaleAspectFill: {
        const double across = bounds.width() / image.width;
        const double down = bounds.height() / image.height;
        const double factor = mode == ContentMode::scaleAspectFit ? std::min(across, down) : std::max(across, down);
        return centred({ image.width * factor, image.height * factor });
    }
    case ContentMode::center: return centred(image);
    case ContentMode::top: return { bounds.midX() - image.width / 2, bounds.minY(), image.width, image.height };
    case ContentMode::bottom: return { bounds.midX() - image.width / 2, bounds.maxY() - image.height, image.width, image.height };
    case ContentMode::left: return { bounds.minX(), bounds.midY() - image.height / 2, image.width, image.height };
    case ContentMode::right: return { bounds.maxX() - image.width, bounds.midY() - image.height / 2, image.width, image.height };
    }
    return bounds;
}

std::optional<Color> tintFor(const Image& image, const View& view)
{
    if (image.renderingMode() == ImageRenderingMode::alwaysTemplate)
        return view.tintColor();
    return std::nullopt;
}

void paintDimmed(cairo_t* cr, bool dimmed, const std::function<void()>& paint)
{
    if (!dimmed) {
        paint();
        return;
    }
    cairo_push_group(cr);
    paint();
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, 0.5);
}

void paintLabel(cairo_t* cr, const Label& label, const Rect& bounds)
{
    if (!label.text())
        return;
    TextOptions options {
        .numberOfLines = label.numberOfLines(),
        .lineBreakMode = label.lineBreakMode(),
        .alignment = label.textAlignment(),
        .adjustsFontSizeToFitWidth = label.adjustsFontSizeToFitWidth(),
        .minimumScaleFactor = label.minimumScaleFactor(),
    };
    Color color = label.textColor();
    if (!label.isEnabled())
        color = color.withAlphaComponent(color.alpha / 2);
    paintText(cr, *label.text(), label.font(), color, options, bounds);
}

void paintButton(cairo_t* cr, const Button& button, const Rect& bounds)
{
    const bool dimmed = !button.isEnabled() && button.adjustsImageWhenDisabled();
    if (auto background = button.currentBackgroundImage())
        paintDimmed(cr, dimmed, [&] { paintImage(cr, *background, bounds, tintFor(*background, button)); });
    if (auto image = button.image(button.state())) {
        Rect place = placeImage(image->size(), bounds.inset(button.contentEdgeInsets()), ContentMode::center);
        paintDimmed(cr, dimmed, [&] { paintImage(cr, *image, place, tintFor(*image, button)); });
    }
}

void paintTextField(cairo_t* cr, const TextField& field, const Rect& bounds)
{
    switch (field.borderStyle()) {
    case TextBorderStyle::none: break;
    case TextBorderStyle::line: strokeInsideRectangle(cr, bounds, Color::black(), 1); break;
    case TextBorderStyle::bezel: strokeInsideRectangle(cr, bounds, Color::gray(), 1); break;
    case TextBorderStyle::roundedRect:
        fillRectangle(cr, bounds, Color::white(), 5);
        strokeInsideRectangle(cr, bounds, Color::systemGray4(), 0.5, 5);
        break;
    }
    const bool hasText = field.text() && !field.text()->empty();
    const TextOptions options { .alignment = field.textAlignment() };
    if (hasText) {
        paintText(cr, *field.text(), field.font(), field.textColor(), options, field.isEditing() ? field.editingRect(bounds) : field.textRect(bounds));
    } else if (field.placeholder()) {
        paintText(cr, *field.placeholder(), field.font(), field.placeholderColor().value_or(Color::placeholderText()), options, field.placeholderRect(bounds));
    }
    if (field.isEditing())
        fillRectangle(cr, field.caretRect(), field.tintColor());
}

Color blurTint(BlurEffectStyle style)
{
    switch (style) {
    case BlurEffectStyle::extraLight: return Color::white(0.97, 0.8);
    case BlurEffectStyle::dark: return Color::white(0.11, 0.73);
    case BlurEffectStyle::extraDark: return Color::white(0.11, 0.85);
    case BlurEffectStyle::prominent: return Color::white(1, 0.82);
    case BlurEffectStyle::light:
    case BlurEffectStyle::regular: return Color::white(0.97, 0.7);
    }
    return Color::white(0.97, 0.7);
}

void paintPageControl(cairo_t* cr, const PageControl& control, const Rect& bounds)
{
    const int pages = control.numberOfPages();
    if (pages <= 0)
        return;
    constexpr double diameter = 7;
    constexpr double pitch = 16;
    const double firstX = bounds.midX() - (pages - 1) * pitch / 2;
    for (int page = 0; page < pages; ++page) {
        Color color = page == control.currentPage() ? control.currentPageIndicatorTintColor().value_or(Color::white())
                                                    : control.pageIndicatorTintColor().value_or(Color::white(1, 0.3));
        Rect dot { firstX + page * pitch - diameter / 2, bounds.midY() - diameter / 2, diameter, diameter };
        fillRectangle(cr, dot, color, diameter / 2);
    }
}

const TableView* enclosingTable(const View& view)
{
    for (const View* ancestor = view.superview(); ancestor; ancestor = ancestor->superview()) {
        if (auto* table = dynamic_cast<const TableView*>(ancestor))
            return table;
    }
    return nullptr;
}

} // namespace

void paintViewContent(cairo_t* cr, const View& view, const Rect& bounds)
{
    if (auto* label = dynamic_cast<const Label*>(&view)) {
        paintLabel(cr, *label, bounds);
    } else if (auto* imageView = dynamic_cast<const ImageView*>(&view)) {
        if (auto image = imageView->image())
            paintImage(cr, *image, placeImage(image->size(), bounds, view.contentMode()), tintFor(*image, view));
    } else if (auto* button = dynamic_cast<const Button*>(&view)) {
        paintButton(cr, *button, bounds);
    } else if (auto* field = dynamic_cast<const TextField*>(&view)) {
        paintTextField(cr, *field, bounds);
    } else if (auto* effect = dynamic_cast<const VisualEffectView*>(&view)) {
        if (effect->effect())
            paintBlur(cr, bounds, blurTint(*effect->effect()), view.layer().cornerRadius());
    } else if (auto* pages = dynamic_cast<const PageControl*>(&view)) {
        paintPageControl(cr, *pages, bounds);
    } else if (auto* cell = dynamic_cast<const TableViewCell*>(&view)) {
        if (cell->isSelected() && cell->selectionStyle() != TableViewCellSelectionStyle::none)
            fillRectangle(cr, bounds, Color::systemGray4());
    }
}

void paintViewOverlay(cairo_t* cr, const View& view, const Rect& bounds)
{
    auto* cell = dynamic_cast<const TableViewCell*>(&view);
    if (!cell)
        return;
    auto* table = enclosingTable(view);
    if (!table || table->separatorStyle() == TableViewSeparatorStyle::none)
        return;
    const double hairline = 1 / Screen::main().scale();
    const EdgeInsets inset = cell->separatorInset();
    Rect line { bounds.minX() + inset.left, bounds.maxY() - hairline, bounds.width() - inset.left - inset.right, hairline };
    fillRectangle(cr, line, table->separatorColor().value_or(Color::separator()));
}

} // namespace platform::ui
