#include "platform/ui/AlertController.h"
#include "platform/ui/GradientLayer.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/render/Renderer.h"
#include "platform/ui/testing/UiDriver.h"
#include "platform/ui/tests/UiTestSupport.h"

using namespace platform::ui;

namespace {

bool isDark(const Color& color)
{
    return color.alpha > 0.5 && color.red + color.green + color.blue < 1.5;
}

void expectColor(const Color& actual, const Color& expected, const char* where)
{
    SCOPED_TRACE(where);
    EXPECT_NEAR(actual.red, expected.red, 0.03);
    EXPECT_NEAR(actual.green, expected.green, 0.03);
    EXPECT_NEAR(actual.blue, expected.blue, 0.03);
    EXPECT_NEAR(actual.alpha, expected.alpha, 0.03);
}

// Dark pixels of the picture inside a rectangle given in points.
int darkPixelsIn(const Image& picture, const Rect& rect)
{
    int count = 0;
    const double scale = picture.scale();
    for (int y = static_cast<int>(rect.minY() * scale); y < static_cast<int>(rect.maxY() * scale); ++y)
        for (int x = static_cast<int>(rect.minX() * scale); x < static_cast<int>(rect.maxX() * scale); ++x)
            count += isDark(picture.colorAtPixel(x, y));
    return count;
}

std::shared_ptr<View> makeView(const Rect& frame, std::optional<Color> background = std::nullopt)
{
    auto view = std::make_shared<View>(frame);
    view->setBackgroundColor(background);
    return view;
}

class RendererTest : public platform::ui::testing::UiTest { };

} // namespace

TEST_F(RendererTest, ALabelInsideABorderIsDrawnWhereItsAlignmentPutsIt)
{
    for (auto alignment : { TextAlignment::left, TextAlignment::center, TextAlignment::right }) {
        SCOPED_TRACE(static_cast<int>(alignment));
        auto root = makeView({ 0, 0, 200, 60 }, Color::white());
        auto box = makeView({ 10, 10, 180, 40 });
        box->layer().setBorderWidth(2);
        box->layer().setBorderColor(Color::rgba(1, 0, 0));
        auto label = std::make_shared<Label>();
        label->setFrame({ 4, 0, 172, 40 });
        label->setText("만료 ID");
        label->setFont(Font::boldSystemFont(14));
        label->setTextAlignment(alignment);
        box->addSubview(label);
        root->addSubview(box);

        const Image picture = Renderer(2).renderView(*root);
        ASSERT_EQ(picture.pixelWidth(), 400);
        ASSERT_EQ(picture.pixelHeight(), 120);
        expectColor(picture.colorAtPixel(21, 60), Color::rgba(1, 0, 0), "left border");
        expectColor(picture.colorAtPixel(300, 21), Color::rgba(1, 0, 0), "top border");
        expectColor(picture.colorAtPixel(10, 60), Color::white(), "outside the border");

        // The text is narrower than a third of the label: ink in one third only.
        ASSERT_LT(label->intrinsicContentSize().width, 172.0 / 3);
        const Rect thirds[] = { { 14, 12, 57, 36 }, { 71, 12, 58, 36 }, { 129, 12, 57, 36 } };
        const int inked = alignment == TextAlignment::left ? 0 : alignment == TextAlignment::center ? 1 : 2;
        for (int third = 0; third < 3; ++third) {
            if (third == inked) {
                EXPECT_GT(darkPixelsIn(picture, thirds[third]), 100);
            } else {
                EXPECT_EQ(darkPixelsIn(picture, thirds[third]), 0);
            }
        }
    }
}

TEST_F(RendererTest, TreeEffectsShowInThePixels)
{
    auto root = makeView({ 0, 0, 100, 100 }, Color::white());
    // Half-transparent blue over white, by colour and by view alpha.
    root->addSubview(makeView({ 0, 0, 10, 10 }, Color::rgba(0, 0, 1, 0.5)));
    auto faded = makeView({ 10, 0, 10, 10 }, Color::rgba(0, 0, 1));
    faded->setAlpha(0.5);
    root->addSubview(faded);
    auto hidden = makeView({ 20, 0, 10, 10 }, Color::black());
    hidden->setHidden(true);
    root->addSubview(hidden);
    // A clipping parent cuts its child; a rounded one leaves its corners out.
    auto clipping = makeView({ 0, 20, 20, 20 }, Color::rgba(0, 1, 0));
    clipping->setClipsToBounds(true);
    clipping->addSubview(makeView({ 10, 10, 30, 30 }, Color::black()));
    root->addSubview(clipping);
    auto rounded = makeView({ 40, 20, 20, 20 }, Color::black());
    rounded->layer().setCornerRadius(10);
    root->addSubview(rounded);
    // Moved by its transform.
    auto moved = makeView({ 0, 50, 10, 10 }, Color::rgba(1, 0, 0));
    moved->setTransform(AffineTransform::translation(30, 0));
    root->addSubview(moved);
    // A gradient sublayer from red at the top to blue at the bottom.
    auto gradient = std::make_shared<GradientLayer>();
    gradient->setFrame({ 0, 0, 20, 30 });
    gradient->colors = { Color::rgba(1, 0, 0), Color::rgba(0, 0, 1) };
    auto gradientHost = makeView({ 70, 50, 20, 30 });
    gradientHost->layer().addSublayer(gradient);
    root->addSubview(gradientHost);
    // A tinted symbol, fitted into a wide image view.
    auto symbol = std::make_shared<ImageView>(std::make_shared<const Image>(*Image::systemNamed("checkmark.square.fill", 18)));
    symbol->setFrame({ 0, 70, 40, 20 });
    symbol->setContentMode(ContentMode::scaleAspectFit);
    symbol->setTintColor(Color::rgba(0, 0.5, 0));
    root->addSubview(symbol);

    const Image picture = Renderer(1).renderView(*root);
    expectColor(picture.colorAtPixel(5, 5), Color::rgba(0.5, 0.5, 1), "translucent colour");
    expectColor(picture.colorAtPixel(15, 5), Color::rgba(0.5, 0.5, 1), "view alpha");
    expectColor(picture.colorAtPixel(25, 5), Color::white(), "hidden view");
    expectColor(picture.colorAtPixel(15, 35), Color::black(), "child inside the clip");
    expectColor(picture.colorAtPixel(25, 35), Color::white(), "child outside the clip");
    expectColor(picture.colorAtPixel(40, 20), Color::white(), "rounded corner");
    expectColor(picture.colorAtPixel(50, 30), Color::black(), "rounded middle");
    expectColor(picture.colorAtPixel(5, 55), Color::white(), "where the moved view was");
    expectColor(picture.colorAtPixel(35, 55), Color::rgba(1, 0, 0), "where the transform put it");
    EXPECT_GT(picture.colorAtPixel(80, 51).red, 0.9);
    EXPECT_GT(picture.colorAtPixel(80, 78).blue, 0.9);
    expectColor(picture.colorAtPixel(12, 74), Color::rgba(0, 0.5, 0), "tinted symbol");
    expectColor(picture.colorAtPixel(5, 80), Color::white(), "beside the fitted symbol");
}

TEST_F(RendererTest, TheScreenPictureShowsAPresentedAlertAndIsSavedAsPng)
{
    auto root = std::make_shared<ViewController>();
    root->view()->setBackgroundColor(Color::rgba(1, 0, 0));
    show(root);
    auto alert = std::make_shared<AlertController>("Notice", "Saved", AlertControllerStyle::alert);
    alert->addAction(std::make_shared<AlertAction>("OK", AlertActionStyle::defaultStyle));
    root->present(alert, false);
    env.runUntilIdle();
    window->layoutIfNeeded();

    const Renderer renderer;
    const Image picture = renderer.renderScreen();
    EXPECT_EQ(picture.pixelWidth(), 390 * 3);
    EXPECT_EQ(picture.pixelHeight(), 844 * 3);
    const Color corner = picture.colorAtPixel(10, 1500);
    EXPECT_GT(corner.red, 0.3);
    EXPECT_LT(corner.green, 0.1);
    const Color middle = picture.colorAtPixel(195 * 3, 422 * 3);
    EXPECT_GT(middle.green, 0.6);

    const auto file = env.dataFolder() / "screen.png";
    ASSERT_TRUE(UiDriver().savePicture(file));
    auto saved = Image::fromFile(file);
    ASSERT_TRUE(saved);
    EXPECT_EQ(saved->pixelWidth(), 390 * 3);
}
