#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/controls/StackView.h"
#include "platform/ui/controls/TableView.h"
#include "platform/ui/controls/TextField.h"
#include "platform/ui/graphics/Image.h"
#include "platform/ui/interface/Nib.h"
#include "platform/ui/tests/UiTestSupport.h"

#include <fstream>

namespace platform::ui {
namespace {

using testing::UiTest;

class FixedView final : public View {
public:
    explicit FixedView(Size size) : size_(size) { }
    Size intrinsicContentSize() const override { return size_; }

private:
    Size size_;
};

class ControlTest : public UiTest {
protected:
    ControlTest()
    {
        show(std::make_shared<ViewController>());
        root = window->rootViewController()->view();
    }
    std::shared_ptr<View> root;
};

struct StackCase {
    const char* name;
    StackAlignment alignment;
    StackDistribution distribution;
    bool marginsRelative;
    Rect first;
    Rect second;
};

TEST_F(ControlTest, StackViewsDistributeAndAlignTheirArrangedViews)
{
    // A 300 × 60 row holding a 28 × 28 box and a 100 × 20 label, 12 after the box.
    const StackCase cases[] = {
        {"fill", StackAlignment::fill, StackDistribution::fill, false, {0, 0, 28, 60}, {40, 0, 260, 60}},
        {"centre", StackAlignment::center, StackDistribution::fill, false, {0, 16, 28, 28}, {40, 20, 260, 20}},
        {"leading", StackAlignment::leading, StackDistribution::fill, false, {0, 0, 28, 28}, {40, 0, 260, 20}},
        {"trailing", StackAlignment::trailing, StackDistribution::fill, false, {0, 32, 28, 28}, {40, 40, 260, 20}},
        {"fill equally", StackAlignment::fill, StackDistribution::fillEqually, false, {0, 0, 144, 60}, {156, 0, 144, 60}},
        {"margins", StackAlignment::center, StackDistribution::fill, true, {16, 16, 28, 28}, {56, 20, 228, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto box = std::make_shared<FixedView>(Size {28, 28});
        box->setContentHuggingPriority(999, LayoutAxis::horizontal);
        auto label = std::make_shared<FixedView>(Size {100, 20});
        auto stack = std::make_shared<StackView>(std::vector<std::shared_ptr<View>> {box, label});
        stack->setFrame({0, 100, 300, 60});
        stack->setAlignment(c.alignment);
        stack->setDistribution(c.distribution);
        stack->setSpacing(8);
        stack->setCustomSpacing(12, *box);
        stack->setLayoutMarginsRelativeArrangement(c.marginsRelative);
        stack->setDirectionalLayoutMargins({12, 16, 12, 16});
        root->addSubview(stack);
        root->layoutIfNeeded();
        EXPECT_EQ(box->frame(), c.first);
        EXPECT_EQ(label->frame(), c.second);
        stack->removeFromSuperview();
    }
    EXPECT_TRUE(console.empty());
}

TEST_F(ControlTest, VerticalStackSizesItselfAndSkipsHiddenViews)
{
    auto top = std::make_shared<FixedView>(Size {50, 20});
    auto middle = std::make_shared<FixedView>(Size {80, 30});
    auto bottom = std::make_shared<FixedView>(Size {60, 10});
    auto stack = std::make_shared<StackView>(std::vector<std::shared_ptr<View>> {top, middle, bottom});
    stack->setAxis(LayoutAxis::vertical);
    stack->setAlignment(StackAlignment::leading);
    stack->setSpacing(4);
    stack->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addSubview(stack);
    LayoutConstraint::activate({stack->leadingAnchor().constraintEqualTo(root->leadingAnchor(), 10),
                                stack->topAnchor().constraintEqualTo(root->topAnchor(), 100)});
    root->layoutIfNeeded();
    EXPECT_EQ(stack->frame(), (Rect {10, 100, 80, 68}));
    EXPECT_EQ(bottom->frame(), (Rect {0, 58, 60, 10}));

    middle->setHidden(true);
    root->layoutIfNeeded();
    EXPECT_EQ(stack->frame(), (Rect {10, 100, 60, 34}));
    EXPECT_EQ(bottom->frame(), (Rect {0, 24, 60, 10}));
}

// Rows whose cells count how often they are made and prepared for reuse.
class CountingCell final : public TableViewCell {
public:
    void prepareForReuse() override { ++prepared; }
    int prepared = 0;
};

class RowSource final : public TableViewDataSource, public TableViewDelegate {
public:
    int rows = 40;
    int made = 0;
    std::vector<IndexPath> selected;
    int numberOfRows(TableView&, int) override { return rows; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, IndexPath path) override
    {
        auto cell = table.dequeueReusableCell("Row", path);
        auto* counting = static_cast<CountingCell*>(cell.get());
        if (counting->prepared == 0 && !cell->superview())
            ++made;
        cell->setAccessibilityIdentifier("row" + std::to_string(path.row));
        return cell;
    }
    void didSelectRow(TableView&, IndexPath path) override { selected.push_back(path); }
};

TEST_F(ControlTest, TableReusesCellsThatScrollAwayAndSizesRowsFromTheirConstraints)
{
    auto table = std::make_shared<TableView>();
    table->setFrame({0, 0, 390, 400});
    root->addSubview(table);
    auto source = std::make_shared<RowSource>();
    table->registerCell([] {
        auto cell = std::make_shared<CountingCell>();
        auto content = std::make_shared<FixedView>(Size {100, 26});
        content->setTranslatesAutoresizingMaskIntoConstraints(false);
        cell->contentView().addSubview(content);
        LayoutConstraint::activate({content->topAnchor().constraintEqualTo(cell->contentView().topAnchor(), 12),
                                    content->bottomAnchor().constraintEqualTo(cell->contentView().bottomAnchor(), -12),
                                    content->leadingAnchor().constraintEqualTo(cell->contentView().leadingAnchor(), 16)});
        return cell;
    }, "Row");
    table->setDataSource(source);
    table->setTableDelegate(source);
    table->reloadData();

    ASSERT_TRUE(table->cellForRow({0, 0}));
    EXPECT_EQ(table->rectForRow({0, 0}), (Rect {0, 0, 390, 50}));
    EXPECT_EQ(table->rectForRow({0, 7}), (Rect {0, 350, 390, 50}));
    EXPECT_EQ(table->visibleCells().size(), 8u);
    EXPECT_EQ(source->made, 8);

    table->setContentOffset({0, 1000});
    table->layoutIfNeeded();
    EXPECT_FALSE(table->cellForRow({0, 0}));
    auto cells = table->visibleCells();
    ASSERT_FALSE(cells.empty());
    auto path = table->indexPathForCell(*cells.front());
    ASSERT_TRUE(path);
    EXPECT_GT(path->row, 10);
    EXPECT_LE(source->made, 10) << "cells that left the screen are handed out again";
    int prepared = 0;
    for (auto& cell : cells)
        prepared += static_cast<CountingCell&>(*cell).prepared;
    EXPECT_GT(prepared, 0);

    source->rows = 3;
    table->setContentOffset({0, 0});
    table->reloadData();
    EXPECT_EQ(table->visibleCells().size(), 3u);
    EXPECT_EQ(table->contentSize().height, 150);

    EXPECT_TRUE(table->handleTap({100, 75}));
    EXPECT_EQ(source->selected, (std::vector<IndexPath> {{0, 1}}));
    EXPECT_EQ(table->indexPathForSelectedRow(), (IndexPath {0, 1}));
    EXPECT_TRUE(table->cellForRow({0, 1})->isSelected());
}

TEST_F(ControlTest, CellsAndHeadersComeFromInterfaceFilesByReuseIdentifier)
{
    std::ofstream(env.bundleFolder() / "Row.nib.json") << R"({"objects": [{"class": "TableViewCell", "id": "cell",
        "subviews": [{"class": "Label", "id": "title", "text": "fee"}]}],
        "constraints": [{"first": "title.top", "second": "cell.top", "constant": 10},
                        {"first": "title.bottom", "second": "cell.bottom", "constant": -10}]})";
    auto table = std::make_shared<TableView>();
    table->registerCellNib(Nib::named("Row"), "Row");
    auto cell = table->dequeueReusableCell("Row", {0, 0});
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->contentView().subviews().size(), 1u);
    EXPECT_EQ(cell->contentView().subviews()[0]->displayedText(), "fee");
    EXPECT_EQ(table->dequeueReusableCell("Unknown", {0, 0}), nullptr);
    EXPECT_TRUE(consoleContains("unable to dequeue a cell with identifier Unknown"));
    EXPECT_EQ(table->dequeueReusableHeaderFooterView("Header"), nullptr);
}

TEST_F(ControlTest, ImageViewsFromInterfaceFilesTakeTheirImagesSize)
{
    std::filesystem::create_directories(env.bundleFolder() / "Assets");
    ASSERT_TRUE(Image::filled(Color::black(), {6, 4}, 3).writePng(env.bundleFolder() / "Assets" / "dot@3x.png"));
    std::ofstream(env.bundleFolder() / "Dots.nib.json") << R"({"objects": [{"class": "View", "subviews": [
        {"class": "ImageView", "image": "dot"}, {"class": "ImageView", "image": "missing"}]}]})";
    auto objects = loadNibNamed("Dots", {}, "");
    ASSERT_EQ(objects.size(), 1u);
    auto& found = static_cast<ImageView&>(*objects[0]->subviews()[0]);
    auto& missing = static_cast<ImageView&>(*objects[0]->subviews()[1]);
    EXPECT_EQ(found.intrinsicContentSize(), (Size {6, 4}));
    EXPECT_EQ(missing.image(), nullptr);
    EXPECT_EQ(missing.intrinsicContentSize().width, View::noIntrinsicMetric);
    EXPECT_TRUE(consoleContains("Could not load the image named \"missing\""));
}

class CarPicker final : public PickerViewDataSource, public PickerViewDelegate {
public:
    std::vector<std::string> cars {"12가3456", "34나5678", "56다7890"};
    int madeLabels = 0;
    std::vector<int> picked;
    int numberOfComponents(PickerView&) override { return 1; }
    int numberOfRows(PickerView&, int) override { return static_cast<int>(cars.size()); }
    std::shared_ptr<View> viewForRow(PickerView&, int row, int, std::shared_ptr<View> reusing) override
    {
        auto label = std::dynamic_pointer_cast<Label>(reusing);
        if (!label) {
            label = std::make_shared<Label>();
            ++madeLabels;
        }
        label->setText(cars[static_cast<std::size_t>(row)]);
        return label;
    }
    void didSelectRow(PickerView&, int row, int) override { picked.push_back(row); }
};

TEST_F(ControlTest, PickerSelectsRowsAndReusesRowViews)
{
    auto picker = std::make_shared<PickerView>();
    picker->setFrame({0, 500, 390, 216});
    root->addSubview(picker);
    auto cars = std::make_shared<CarPicker>();
    picker->setDataSource(cars);
    picker->setDelegate(cars);
    root->layoutIfNeeded();
    EXPECT_EQ(picker->selectedRow(0), 0);
    picker->selectRow(2, 0, false);
    picker->selectRow(7, 0, false);
    root->layoutIfNeeded();
    EXPECT_EQ(picker->selectedRow(0), 2);
    EXPECT_TRUE(cars->picked.empty()) << "selecting from code does not tell the delegate";
    EXPECT_EQ(picker->viewForRow(2, 0)->frame().midY(), 108);
    EXPECT_EQ(cars->madeLabels, 3);

    picker->userSelectRow(1, 0);
    EXPECT_EQ(cars->picked, (std::vector<int> {1}));
    picker->userSelectRow(5, 0);
    EXPECT_EQ(cars->picked.size(), 1u);
}

class RefusingDelegate final : public TextFieldDelegate {
public:
    bool allow = false;
    std::vector<std::string> events;
    bool textFieldShouldBeginEditing(TextField&) override { return allow; }
    void textFieldDidBeginEditing(TextField&) override { events.push_back("begin"); }
    void textFieldDidEndEditing(TextField&) override { events.push_back("end"); }
};

TEST_F(ControlTest, TextFieldShowsItsInputViewsWhileEditing)
{
    auto field = std::make_shared<TextField>();
    field->setFrame({20, 100, 300, 44});
    root->addSubview(field);
    auto picker = std::make_shared<PickerView>();
    auto toolbar = std::make_shared<View>(Rect {0, 0, 390, 44});
    field->setInputView(picker);
    field->setInputAccessoryView(toolbar);
    auto delegate = std::make_shared<RefusingDelegate>();
    field->setDelegate(delegate);

    EXPECT_TRUE(field->handleTap({10, 10}));
    EXPECT_FALSE(field->isFirstResponder());
    delegate->allow = true;
    field->handleTap({10, 10});
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), field.get());
    EXPECT_EQ(picker->window(), window.get());
    EXPECT_EQ(picker->frame(), (Rect {0, 844 - 250, 390, 250}));
    EXPECT_EQ(toolbar->frame().maxY(), picker->frame().minY());

    field->insertText("가나");
    field->deleteBackward();
    EXPECT_EQ(field->text(), "가");
    field->endEditing(true);
    EXPECT_EQ(picker->window(), nullptr);
    EXPECT_EQ(delegate->events, (std::vector<std::string> {"begin", "end"}));
}

TEST_F(ControlTest, ButtonShowsPerStateValuesAndDropsTapsWhileDisabled)
{
    auto button = std::make_shared<Button>();
    button->setTitle("Pay");
    button->setTitleColor(Color::black());
    button->setTitleColor(Color::gray(), controlStateDisabled);
    int taps = 0;
    button->addTarget(ControlEvent::touchUpInside, [&](Control&) { ++taps; });
    EXPECT_TRUE(button->handleTap({1, 1}));
    button->setEnabled(false);
    EXPECT_TRUE(button->handleTap({1, 1})) << "a disabled button swallows the tap";
    EXPECT_EQ(taps, 1);
    EXPECT_EQ(button->currentTitle(), "Pay");
    EXPECT_EQ(button->currentTitleColor(), Color::gray());
    button->setEnabled(true);
    button->setSelected(true);
    EXPECT_EQ(button->currentTitleColor(), Color::black());
}

TEST(ImageViewSize, FollowsItsImageInPoints)
{
    ImageView view;
    EXPECT_EQ(view.intrinsicContentSize(), (Size {View::noIntrinsicMetric, View::noIntrinsicMetric}));
    view.setImage(std::make_shared<const Image>(Image::filled(Color::black(), {20, 10}, 3)));
    EXPECT_EQ(view.intrinsicContentSize(), (Size {20, 10}));
}

}
}
