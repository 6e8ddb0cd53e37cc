#include "platform/ui/render/Renderer.h"

#include "platform/ui/Application.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"
#include "platform/ui/Window.h"
#include "platform/ui/graphics/ImageAccess.h"
#include "platform/ui/render/ContentPainter.h"
#include "platform/ui/render/Painter.h"

#include <algorithm>
#include <cmath>

namespace platform::ui {

namespace {

// A layer is drawn in its own coordinates: the bounds of its view (whose
// origin is the scroll offset) or (0, 0, width, height) for a plain layer.
class LayerTreePainter {
public:
    explicit LayerTreePainter(cairo_t* cr) : cr_(cr) { }

    void paint(const Layer& layer)
    {
        const View* view = layer.owningView();
        if (layer.isHidden() || layer.opacity() < 0.01)
            return;
        cairo_save(cr_);
        const Rect bounds = view ? view->bounds() : layer.bounds();
        moveIntoLayer(layer, view);
        const bool translucent = layer.opacity() < 1;
        if (translucent)
            cairo_push_group(cr_);

        const Rect area { 0, 0, bounds.width(), bounds.height() };
        cairo_save(cr_);
        cairo_translate(cr_, -bounds.minX(), -bounds.minY());
        const Rect local = bounds;
        paintBody(layer, local);
        if (layer.masksToBounds()) {
            addRoundedRectangle(cr_, local, layer.cornerRadius());
            cairo_clip(cr_);
        }
        if (view)
            paintViewContent(cr_, *view, local);
        for (const auto& sublayer : layer.sublayers())
            paint(*sublayer);
        if (view)
            paintViewOverlay(cr_, *view, local);
        cairo_restore(cr_);

        strokeInsideRectangle(cr_, area, layer.borderColor(), layer.borderWidth(), layer.cornerRadius());
        if (translucent) {
            cairo_pop_group_to_source(cr_);
            cairo_paint_with_alpha(cr_, layer.opacity());
        }
        cairo_restore(cr_);
    }

private:
    // Moves the origin to the top-left corner of the layer's bounds.
    void moveIntoLayer(const Layer& layer, const View* view)
    {
        if (!view) {
            cairo_translate(cr_, layer.frame().minX(), layer.frame().minY());
            return;
        }
        // A view turns about its centre.
        const Point center = view->center();
        const AffineTransform& t = view->transform();
        cairo_translate(cr_, center.x, center.y);
        if (!t.isIdentity()) {
            cairo_matrix_t matrix;
            cairo_matrix_init(&matrix, t.a, t.b, t.c, t.d, t.tx, t.ty);
            cairo_transform(cr_, &matrix);
        }
        cairo_translate(cr_, -view->bounds().width() / 2, -view->bounds().height() / 2);
    }

    void paintBody(const Layer& layer, const Rect& rect)
    {
        if (auto color = layer.backgroundColor())
            fillRectangle(cr_, rect, *color, layer.cornerRadius());
        if (auto* gradient = dynamic_cast<const GradientLayer*>(&layer)) {
            std::vector<GradientStop> stops;
            const auto& colors = gradient->colors;
            for (std::size_t index = 0; index < colors.size(); ++index) {
                // Without locations the colours spread evenly.
                double location = index < gradient->locations.size() ? gradient->locations[index]
                    : colors.size() > 1                               ? double(index) / double(colors.size() - 1)
                                                                      : 0;
                stops.push_back({ location, colors[index] });
            }
            paintLinearGradient(cr_, rect, stops, gradient->startPoint, gradient->endPoint, layer.cornerRadius());
        }
    }

    cairo_t* cr_;
};

Image paintPicture(Size size, double scale, const Color& background, const std::function<void(cairo_t*)>& draw)
{
    const int width = std::max(1, static_cast<int>(std::ceil(size.width * scale)));
    const int height = std::max(1, static_cast<int>(std::ceil(size.height * scale)));
    cairo_surface_t* surface = createImageSurface(width, height);
    if (!surface)
        return Image::filled(background, { 1, 1 });
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, scale, scale);
    setSourceColor(cr, background);
    cairo_paint(cr);
    draw(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    return *ImageAccess::adopt(surface, scale);
}

} // namespace

Renderer::Renderer(std::optional<double> scale)
    : scale_(scale && *scale > 0 && *scale <= 8 ? *scale : Screen::main().scale())
{
}

Image Renderer::renderScreen() const
{
    return paintPicture(Screen::main().bounds().size, scale_, Color::white(), [](cairo_t* cr) {
        // A key window outside every scene (a test's) is still on screen, on top.
        auto windows = Application::shared().windows();
        auto key = Application::shared().keyWindow();
        if (key && std::find(windows.begin(), windows.end(), key) == windows.end())
            windows.push_back(key);
        for (const auto& window : windows) {
            if (window && !window->isHidden())
                LayerTreePainter(cr).paint(window->layer());
        }
    });
}

Image Renderer::renderView(const View& view) const
{
    return paintPicture(view.bounds().size, scale_, Color::clear(), [&view](cairo_t* cr) {
        // The view's own position is left out: the picture starts at its corner.
        cairo_translate(cr, view.bounds().width() / 2 - view.center().x, view.bounds().height() / 2 - view.center().y);
        LayerTreePainter(cr).paint(view.layer());
    });
}

bool Renderer::saveScreenPicture(const std::filesystem::path& path) const
{
    return renderScreen().writePng(path);
}

} // namespace platform::ui
