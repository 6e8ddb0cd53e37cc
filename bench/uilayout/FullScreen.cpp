#include "bench/uilayout/FullScreen.h"

#include "platform/ui/ViewController.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/StackView.h"
#include "platform/ui/controls/TableView.h"

namespace platform::ui {

namespace {

std::shared_ptr<Label> label(const std::string& text, double size)
{
    auto l = std::make_shared<Label>();
    l->setText(text);
    l->setFont(Font::named("BrantwickSansApp-Regular", size));
    return l;
}

std::shared_ptr<TableViewCell> makeRow()
{
    auto cell = std::make_shared<TableViewCell>();
    auto box = std::make_shared<ImageView>();
    auto columns = std::make_shared<StackView>(std::vector<std::shared_ptr<View>> {
        label("P3", 14), label("2024-05", 14), label("12", 14), label("30,000", 14)});
    columns->setDistribution(StackDistribution::fillEqually);
    columns->setSpacing(8);
    auto rowStack = std::make_shared<StackView>(std::vector<std::shared_ptr<View>> {box, columns});
    rowStack->setAlignment(StackAlignment::center);
    rowStack->setLayoutMarginsRelativeArrangement(true);
    rowStack->setDirectionalLayoutMargins({20, 16, 20, 16});
    rowStack->setCustomSpacing(12, *box);
    rowStack->setTranslatesAutoresizingMaskIntoConstraints(false);
    cell->contentView().addSubview(rowStack);
    View& content = cell->contentView();
    LayoutConstraint::activate({rowStack->leadingAnchor().constraintEqualTo(content.leadingAnchor()),
                                rowStack->trailingAnchor().constraintEqualTo(content.trailingAnchor()),
                                rowStack->topAnchor().constraintEqualTo(content.topAnchor()),
                                rowStack->bottomAnchor().constraintEqualTo(content.bottomAnchor()),
                                box->widthAnchor().constraintEqualToConstant(28),
                                box->heightAnchor().constraintEqualTo(box->widthAnchor())});
    return cell;
}

} // namespace

std::shared_ptr<TableViewCell> Rows::configuredRow(TableView& table, IndexPath path)
{
    auto cell = table.dequeueReusableCell("Row", path);
    static_cast<Label&>(*cell->contentView().subviews()[0]->subviews()[1]->subviews()[0]).setText("P" + std::to_string(path.row));
    return cell;
}

void buildFullScreen(View& root, const std::shared_ptr<Rows>& rows)
{
    auto title = label("주차 요금", 20);
    title->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto scroll = std::make_shared<ScrollView>();
    scroll->setTranslatesAutoresizingMaskIntoConstraints(false);
    auto table = std::make_shared<TableView>();
    table->setTranslatesAutoresizingMaskIntoConstraints(false);
    root.addSubview(title);
    root.addSubview(scroll);
    root.addSubview(table);
    ConstraintList constraints {
        title->topAnchor().constraintEqualTo(root.safeAreaLayoutGuide().topAnchor(), 8),
        title->centerXAnchor().constraintEqualTo(root.centerXAnchor()),
        scroll->topAnchor().constraintEqualTo(title->bottomAnchor(), 8),
        scroll->leadingAnchor().constraintEqualTo(root.leadingAnchor()),
        scroll->trailingAnchor().constraintEqualTo(root.trailingAnchor()),
        scroll->heightAnchor().constraintEqualToConstant(240),
        table->topAnchor().constraintEqualTo(scroll->bottomAnchor()),
        table->leadingAnchor().constraintEqualTo(root.leadingAnchor()),
        table->trailingAnchor().constraintEqualTo(root.trailingAnchor()),
        table->bottomAnchor().constraintEqualTo(root.safeAreaLayoutGuide().bottomAnchor()),
    };
    std::shared_ptr<View> previous;
    for (int page = 0; page < 2; ++page) {
        auto face = std::make_shared<View>();
        face->setTranslatesAutoresizingMaskIntoConstraints(false);
        scroll->addSubview(face);
        auto& content = scroll->contentLayoutGuide();
        constraints.push_back(face->leadingAnchor().constraintEqualTo(previous ? previous->trailingAnchor() : content.leadingAnchor()));
        constraints.push_back(face->topAnchor().constraintEqualTo(content.topAnchor()));
        constraints.push_back(face->bottomAnchor().constraintEqualTo(content.bottomAnchor()));
        constraints.push_back(face->widthAnchor().constraintEqualTo(scroll->widthAnchor()));
        constraints.push_back(face->heightAnchor().constraintEqualTo(scroll->heightAnchor()));
        std::shared_ptr<View> above;
        for (int line = 0; line < 4; ++line) {
            auto text = label("홍길동 Hong Gildong", 16);
            text->setTranslatesAutoresizingMaskIntoConstraints(false);
            face->addSubview(text);
            constraints.push_back(text->leadingAnchor().constraintEqualTo(face->leadingAnchor(), 24));
            constraints.push_back(text->topAnchor().constraintEqualTo(above ? above->bottomAnchor() : face->topAnchor(), 12));
            above = text;
        }
        previous = face;
    }
    constraints.push_back(previous->trailingAnchor().constraintEqualTo(scroll->contentLayoutGuide().trailingAnchor()));
    LayoutConstraint::activate(constraints);
    table->registerCell(makeRow, "Row");
    table->setDataSource(rows);
    table->setTableDelegate(rows);
    table->setEstimatedRowHeight(56);
}

FullScreenWindow::FullScreenWindow()
    : window(std::make_shared<Window>())
{
    window->setRootViewController(std::make_shared<ViewController>());
    window->makeKeyAndVisible();
    buildFullScreen(root(), rows);
}

View& FullScreenWindow::root() const
{
    return *window->rootViewController()->view();
}

}
