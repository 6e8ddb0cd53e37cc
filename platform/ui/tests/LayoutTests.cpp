#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/tests/UiTestSupport.h"

namespace platform::ui {
namespace {

using testing::UiTest;

// A view with a fixed natural size, like an image or a one-line label.
class SizedView final : public View {
public:
    explicit SizedView(Size size) : size_(size) { setTranslatesAutoresizingMaskIntoConstraints(false); }
    Size intrinsicContentSize() const override { return size_; }

private:
    Size size_;
};

std::shared_ptr<View> constrainedView()
{
    auto view = std::make_shared<View>();
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    return view;
}

class LayoutTest : public UiTest {
protected:
    LayoutTest()
    {
        show(std::make_shared<ViewController>());
        root = window->rootViewController()->view();
    }
    std::shared_ptr<View> root;
};

TEST_F(LayoutTest, PagesSideBySideInAScrollViewsContentGuide)
{
    auto scroll = std::make_shared<ScrollView>();
    scroll->setFrame({20, 100, 350, 500});
    root->addSubview(scroll);
    auto front = constrainedView();
    auto back = constrainedView();
    scroll->addSubview(front);
    scroll->addSubview(back);
    auto& content = scroll->contentLayoutGuide();
    auto pages = [&] {
        return ConstraintList {
            front->leadingAnchor().constraintEqualTo(content.leadingAnchor()),
            front->topAnchor().constraintEqualTo(content.topAnchor()),
            front->bottomAnchor().constraintEqualTo(content.bottomAnchor()),
            front->widthAnchor().constraintEqualTo(scroll->widthAnchor()),
            front->heightAnchor().constraintEqualTo(scroll->heightAnchor()),
            back->leadingAnchor().constraintEqualTo(front->trailingAnchor()),
            back->topAnchor().constraintEqualTo(content.topAnchor()),
            back->bottomAnchor().constraintEqualTo(content.bottomAnchor()),
            back->widthAnchor().constraintEqualTo(scroll->widthAnchor()),
            back->heightAnchor().constraintEqualTo(scroll->heightAnchor()),
            back->trailingAnchor().constraintEqualTo(content.trailingAnchor()),
        };
    };
    auto constraints = pages();
    LayoutConstraint::activate(constraints);
    root->layoutIfNeeded();
    EXPECT_EQ(front->frame(), (Rect {0, 0, 350, 500}));
    EXPECT_EQ(back->frame(), (Rect {350, 0, 350, 500}));
    EXPECT_EQ(scroll->contentSize(), (Size {700, 500}));

    // Scrolling moves the pages on screen but not within the content.
    scroll->setContentOffset({350, 0});
    root->layoutIfNeeded();
    EXPECT_EQ(back->frame(), (Rect {350, 0, 350, 500}));
    EXPECT_EQ(back->convertPointTo({0, 0}, root.get()), (Point {20, 100}));

    // New bounds, new constraints: the pages follow.
    LayoutConstraint::deactivate(constraints);
    scroll->setFrame({0, 0, 300, 400});
    LayoutConstraint::activate(pages());
    root->layoutIfNeeded();
    EXPECT_EQ(back->frame(), (Rect {300, 0, 300, 400}));
    EXPECT_EQ(scroll->contentSize(), (Size {600, 400}));
    EXPECT_TRUE(console.empty());
}

TEST_F(LayoutTest, ViewPinnedToTheSafeAreaAndMargins)
{
    auto pinned = constrainedView();
    auto inset = constrainedView();
    root->addSubview(pinned);
    root->addSubview(inset);
    auto& safe = root->safeAreaLayoutGuide();
    auto& margins = root->layoutMarginsGuide();
    LayoutConstraint::activate({
        pinned->topAnchor().constraintEqualTo(safe.topAnchor()),
        pinned->leadingAnchor().constraintEqualTo(root->leadingAnchor()),
        pinned->trailingAnchor().constraintEqualTo(root->trailingAnchor()),
        pinned->bottomAnchor().constraintEqualTo(safe.bottomAnchor()),
        inset->leadingAnchor().constraintEqualTo(margins.leadingAnchor()),
        inset->trailingAnchor().constraintEqualTo(margins.trailingAnchor()),
        inset->centerYAnchor().constraintEqualTo(root->centerYAnchor()),
        inset->heightAnchor().constraintEqualTo(pinned->heightAnchor(), 0.5, 0),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), (Rect {0, 47, 390, 763}));
    EXPECT_EQ(inset->frame(), (Rect {8, 422 - 190.75, 374, 381.5}));

    window->rootViewController()->setAdditionalSafeAreaInsets({4, 0, 12, 0});
    root->layoutIfNeeded();
    EXPECT_EQ(pinned->frame(), (Rect {0, 51, 390, 747}));
}

TEST_F(LayoutTest, TheLowerPriorityGivesWayAndRequiredConflictsAreReportedOnce)
{
    auto box = constrainedView();
    root->addSubview(box);
    auto preferred = box->widthAnchor().constraintEqualToConstant(300);
    preferred->setPriority(999);
    LayoutConstraint::activate({box->widthAnchor().constraintEqualToConstant(100), preferred,
                                box->heightAnchor().constraintEqualToConstant(50)});
    root->layoutIfNeeded();
    EXPECT_EQ(box->frame().size, (Size {100, 50}));
    EXPECT_TRUE(console.empty());

    auto clash = box->heightAnchor().constraintEqualToConstant(80);
    clash->setActive(true);
    root->layoutIfNeeded();
    EXPECT_EQ(box->frame().height(), 50);
    ASSERT_EQ(console.size(), 1u);
    EXPECT_NE(console[0].find("Unable to simultaneously satisfy constraints"), std::string::npos);
    clash->setConstant(90);
    root->layoutIfNeeded();
    EXPECT_EQ(console.size(), 1u);

    // A required minimum beats a weaker equality.
    auto atLeast = box->widthAnchor().constraintGreaterThanOrEqualToConstant(150);
    atLeast->setActive(true);
    root->layoutIfNeeded();
    EXPECT_EQ(box->frame().width(), 100) << "two required constraints clash; the earlier one holds";
}

TEST_F(LayoutTest, TheTitleWithLowerCompressionResistanceShrinksFirst)
{
    auto row = constrainedView();
    root->addSubview(row);
    auto icon = std::make_shared<SizedView>(Size {24, 24});
    auto title = std::make_shared<SizedView>(Size {400, 20});
    row->addSubview(icon);
    row->addSubview(title);
    icon->setContentCompressionResistancePriority(1000, LayoutAxis::horizontal);
    icon->setContentHuggingPriority(1000, LayoutAxis::horizontal);
    title->setContentCompressionResistancePriority(250, LayoutAxis::horizontal);
    title->setContentHuggingPriority(250, LayoutAxis::horizontal);
    LayoutConstraint::activate({
        row->leadingAnchor().constraintEqualTo(root->leadingAnchor()),
        row->trailingAnchor().constraintEqualTo(root->trailingAnchor()),
        row->topAnchor().constraintEqualTo(root->topAnchor(), 100),
        icon->leadingAnchor().constraintEqualTo(row->leadingAnchor(), 16),
        icon->centerYAnchor().constraintEqualTo(row->centerYAnchor()),
        title->leadingAnchor().constraintEqualTo(icon->trailingAnchor(), 8),
        title->trailingAnchor().constraintEqualTo(row->trailingAnchor(), -16),
        title->topAnchor().constraintEqualTo(row->topAnchor()),
        title->bottomAnchor().constraintEqualTo(row->bottomAnchor()),
    });
    root->layoutIfNeeded();
    EXPECT_EQ(icon->frame(), (Rect {16, -2, 24, 24}));
    EXPECT_EQ(title->frame(), (Rect {48, 0, 326, 20}));
    EXPECT_EQ(row->frame().height(), 20);
    EXPECT_TRUE(console.empty());
}

TEST_F(LayoutTest, FittingSizeFollowsTheContent)
{
    auto cell = std::make_shared<View>(Rect {0, 0, 390, 44});
    auto content = std::make_shared<SizedView>(Size {100, 30});
    cell->addSubview(content);
    LayoutConstraint::activate({
        content->leadingAnchor().constraintEqualTo(cell->leadingAnchor(), 16),
        content->trailingAnchor().constraintEqualTo(cell->trailingAnchor(), -16),
        content->topAnchor().constraintEqualTo(cell->topAnchor(), 12),
        content->bottomAnchor().constraintEqualTo(cell->bottomAnchor(), -12),
    });
    Size fitted = cell->systemLayoutSizeFitting({390, 0}, layoutPriorityRequired, layoutPriorityFittingSizeLevel);
    EXPECT_EQ(fitted, (Size {390, 54}));
    EXPECT_EQ(cell->frame(), (Rect {0, 0, 390, 44})) << "measuring does not move anything";
}

}
}
