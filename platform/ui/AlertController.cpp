#include "platform/ui/AlertController.h"

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/controls/Label.h"

#include <algorithm>

namespace platform::ui {

namespace {

constexpr double alertWidth = 270;
constexpr double rowHeight = 44;
constexpr double padding = 16;

// The dimmed backdrop; it lays out the box whenever the alert's size or texts change.
class AlertBackdrop final : public View {
public:
    explicit AlertBackdrop(std::function<void(View&)> layout) : layout_(std::move(layout)) { }
    std::string className() const override { return "AlertBackdrop"; }
    void layoutSubviews() override { layout_(*this); }

private:
    std::function<void(View&)> layout_;
};

}

AlertController::AlertController(std::optional<std::string> title, std::optional<std::string> message, AlertControllerStyle style)
    : title_(std::move(title))
    , message_(std::move(message))
    , style_(style)
{
    setModalPresentationStyle(ModalPresentationStyle::overFullScreen);
    setModalTransitionStyle(ModalTransitionStyle::crossDissolve);
}

void AlertController::setMessage(std::optional<std::string> message)
{
    message_ = std::move(message);
    if (auto label = messageLabel_.lock()) {
        label->setText(message_);
        if (isViewLoaded())
            view()->setNeedsLayout();
    }
}

void AlertController::addAction(std::shared_ptr<AlertAction> action)
{
    if (action)
        actions_.push_back(std::move(action));
}

void AlertController::performAction(const AlertAction& action)
{
    if (chosen_ || !action.isEnabled())
        return;
    chosen_ = true;
    std::shared_ptr<AlertAction> chosen;
    for (const auto& a : actions_) {
        if (a.get() == &action)
            chosen = a;
    }
    dismiss(true, [chosen] {
        if (chosen && chosen->handler())
            chosen->handler()(*chosen);
    });
}

void AlertController::loadView()
{
    std::weak_ptr<ViewController> weakSelf = weak_from_this();
    auto backdrop = std::make_shared<AlertBackdrop>([weakSelf](View& root) {
        if (auto self = std::static_pointer_cast<AlertController>(weakSelf.lock()))
            self->layoutBox(root);
    });
    backdrop->setFrame(Screen::main().bounds());
    backdrop->setBackgroundColor(Color::black().withAlphaComponent(0.2));

    auto box = std::make_shared<View>();
    box->setBackgroundColor(Color::white(0.97));
    box->layer().setCornerRadius(14);
    box->setClipsToBounds(true);
    box->setAccessibilityIdentifier("alert");
    backdrop->addSubview(box);

    auto makeLabel = [&](const std::optional<std::string>& text, const Font& font) {
        auto label = std::make_shared<Label>();
        label->setText(text);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(TextAlignment::center);
        box->addSubview(label);
        return label;
    };
    makeLabel(title_, Font::systemFont(17, FontWeight::semibold));
    messageLabel_ = makeLabel(message_, Font::systemFont(13));

    for (const auto& action : actions_) {
        auto row = std::make_shared<View>();
        row->setAccessibilityElement(true);
        row->setAccessibilityLabel(action->title());
        row->setAccessibilityTraits(accessibilityTraitButton);
        auto label = std::make_shared<Label>();
        label->setText(action->title());
        label->setTextAlignment(TextAlignment::center);
        label->setFont(Font::systemFont(17, action->style() == AlertActionStyle::cancel ? FontWeight::semibold : FontWeight::regular));
        label->setTextColor(action->style() == AlertActionStyle::destructive ? Color::systemRed() : Color::systemBlue());
        row->addSubview(label);
        std::weak_ptr<AlertAction> weakAction = action;
        row->addGestureRecognizer(std::make_shared<TapGestureRecognizer>([weakSelf, weakAction](TapGestureRecognizer&) {
            auto self = std::static_pointer_cast<AlertController>(weakSelf.lock());
            auto chosen = weakAction.lock();
            if (self && chosen)
                self->performAction(*chosen);
        }));
        box->addSubview(row);
    }
    setView(backdrop);
}

void AlertController::layoutBox(View& root)
{
    if (root.subviews().empty())
        return;
    View& box = *root.subviews().front();
    const auto& parts = box.subviews();
    double width = style_ == AlertControllerStyle::alert ? alertWidth : root.bounds().width() - 16;
    double textWidth = width - 2 * padding;
    double y = padding;
    for (std::size_t i = 0; i < 2 && i < parts.size(); ++i) {
        auto* label = static_cast<Label*>(parts[i].get());
        Size size = label->text() ? label->sizeThatFits({textWidth, 0}) : Size {};
        label->setFrame({padding, y, textWidth, size.height});
        y += size.height + (size.height > 0 ? 4 : 0);
    }
    y += padding - 4;
    // Two actions of an alert sit side by side; otherwise one per row.
    std::size_t actionCount = parts.size() > 2 ? parts.size() - 2 : 0;
    bool sideBySide = style_ == AlertControllerStyle::alert && actionCount == 2;
    for (std::size_t i = 0; i < actionCount; ++i) {
        View& row = *parts[i + 2];
        Rect frame = sideBySide ? Rect {i * width / 2, y, width / 2, rowHeight} : Rect {0, y + i * rowHeight, width, rowHeight};
        row.setFrame(frame);
        if (!row.subviews().empty())
            row.subviews().front()->setFrame({0, 0, frame.width(), frame.height()});
    }
    double height = y + (sideBySide ? rowHeight : actionCount * rowHeight);
    Rect bounds = root.bounds();
    double boxY = style_ == AlertControllerStyle::alert ? (bounds.height() - height) / 2
                                                        : bounds.height() - Screen::main().safeAreaInsets().bottom - height;
    box.setFrame({(bounds.width() - width) / 2, std::max(0.0, boxY), width, height});
}

}
