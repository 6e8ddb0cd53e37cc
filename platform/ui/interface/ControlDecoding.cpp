#include "platform/foundation/Console.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/graphics/Image.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/PageControl.h"
#include "platform/ui/controls/PickerView.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/StackView.h"
#include "platform/ui/controls/TableView.h"
#include "platform/ui/controls/TextField.h"
#include "platform/ui/controls/TextView.h"
#include "platform/ui/controls/Toolbar.h"
#include "platform/ui/controls/VisualEffectView.h"
#include "platform/ui/interface/InterfaceDecoder.h"

#include <nlohmann/json.hpp>

#include <functional>
#include <map>

namespace platform::ui {

std::shared_ptr<View> makeToolkitView(const std::string& className)
{
    static const std::map<std::string, std::function<std::shared_ptr<View>()>> classes {
        {"View", [] { return std::make_shared<View>(); }},
        {"Label", [] { return std::make_shared<Label>(); }},
        {"ImageView", [] { return std::make_shared<ImageView>(); }},
        {"Button", [] { return std::make_shared<Button>(); }},
        {"ScrollView", [] { return std::make_shared<ScrollView>(); }},
        {"StackView", [] { return std::make_shared<StackView>(); }},
        {"PageControl", [] { return std::make_shared<PageControl>(); }},
        {"TableView", [] { return std::make_shared<TableView>(); }},
        {"TableViewCell", [] { return std::make_shared<TableViewCell>(); }},
        {"TableViewHeaderFooterView", [] { return std::make_shared<TableViewHeaderFooterView>(); }},
        {"PickerView", [] { return std::make_shared<PickerView>(); }},
        {"TextField", [] { return std::make_shared<TextField>(); }},
        {"TextView", [] { return std::make_shared<TextView>(); }},
        {"Toolbar", [] { return std::make_shared<Toolbar>(); }},
        {"VisualEffectView", [] { return std::make_shared<VisualEffectView>(); }},
    };
    auto it = classes.find(className);
    return it != classes.end() ? it->second() : nullptr;
}

namespace {

std::optional<Font> decodeFont(const nlohmann::json& spec)
{
    auto it = spec.find("font");
    if (it == spec.end() || !it->is_object())
        return std::nullopt;
    double size = it->value("size", 17.0);
    if (auto name = it->find("name"); name != it->end() && name->is_string())
        return Font::named(name->get<std::string>(), size);
    return Font::systemFont(size, it->value("bold", false) ? FontWeight::bold : FontWeight::regular);
}

std::optional<TextAlignment> decodeAlignment(const nlohmann::json& spec)
{
    static const std::map<std::string, TextAlignment> names {{"natural", TextAlignment::natural}, {"left", TextAlignment::left},
                                                             {"center", TextAlignment::center}, {"right", TextAlignment::right}};
    auto it = spec.find("textAlignment");
    if (it == spec.end() || !it->is_string() || !names.count(it->get<std::string>()))
        return std::nullopt;
    return names.at(it->get<std::string>());
}

}

void applyControlProperties(View& view, const nlohmann::json& spec)
{
    if (auto* label = dynamic_cast<Label*>(&view)) {
        if (auto it = spec.find("text"); it != spec.end() && it->is_string())
            label->setText(it->get<std::string>());
        if (auto font = decodeFont(spec))
            label->setFont(*font);
        if (auto it = spec.find("textColor"); it != spec.end())
            if (auto color = decodeColor(*it))
                label->setTextColor(*color);
        if (auto alignment = decodeAlignment(spec))
            label->setTextAlignment(*alignment);
        if (auto it = spec.find("numberOfLines"); it != spec.end() && it->is_number_integer())
            label->setNumberOfLines(it->get<int>());
    }
    if (auto* button = dynamic_cast<Button*>(&view)) {
        if (auto it = spec.find("title"); it != spec.end() && it->is_string())
            button->setTitle(it->get<std::string>());
        if (auto it = spec.find("titleColor"); it != spec.end())
            button->setTitleColor(decodeColor(*it));
        if (auto font = decodeFont(spec))
            button->titleLabel().setFont(*font);
    }
    if (auto* field = dynamic_cast<TextField*>(&view)) {
        if (auto it = spec.find("text"); it != spec.end() && it->is_string())
            field->setText(it->get<std::string>());
        if (auto it = spec.find("placeholder"); it != spec.end() && it->is_string())
            field->setPlaceholder(it->get<std::string>());
        if (auto font = decodeFont(spec))
            field->setFont(*font);
    }
    if (auto* textView = dynamic_cast<TextView*>(&view)) {
        if (auto it = spec.find("text"); it != spec.end() && it->is_string())
            textView->setText(it->get<std::string>());
        if (auto font = decodeFont(spec))
            textView->setFont(*font);
    }
    if (auto* imageView = dynamic_cast<ImageView*>(&view)) {
        if (auto it = spec.find("image"); it != spec.end() && it->is_string()) {
            imageView->setImageName(it->get<std::string>());
            if (auto image = Image::named(it->get<std::string>()))
                imageView->setImage(std::make_shared<const Image>(*image));
            else
                platform::console("Could not load the image named \"" + it->get<std::string>() + "\" in an interface file");
        }
    }
    if (auto* stack = dynamic_cast<StackView*>(&view)) {
        if (spec.value("axis", std::string()) == "vertical")
            stack->setAxis(LayoutAxis::vertical);
        static const std::map<std::string, StackAlignment> alignments {{"fill", StackAlignment::fill}, {"leading", StackAlignment::leading},
            {"top", StackAlignment::leading}, {"center", StackAlignment::center}, {"trailing", StackAlignment::trailing},
            {"bottom", StackAlignment::trailing}};
        if (auto it = alignments.find(spec.value("alignment", std::string())); it != alignments.end())
            stack->setAlignment(it->second);
        if (spec.value("distribution", std::string()) == "fillEqually")
            stack->setDistribution(StackDistribution::fillEqually);
        if (auto it = spec.find("spacing"); it != spec.end() && it->is_number())
            stack->setSpacing(it->get<double>());
    }
    if (auto* scroll = dynamic_cast<ScrollView*>(&view)) {
        if (auto it = spec.find("pagingEnabled"); it != spec.end() && it->is_boolean())
            scroll->setPagingEnabled(it->get<bool>());
    }
}

void connectAction(View& view, const ClassRegistry::Action& action, InterfaceOwner owner)
{
    std::weak_ptr<ViewController> controller = owner.controller ? owner.controller->weak_from_this() : std::weak_ptr<ViewController>();
    std::weak_ptr<View> ownerView = owner.view ? owner.view->weak_from_this() : std::weak_ptr<View>();
    bool hasController = owner.controller != nullptr;
    auto run = [action, controller, ownerView, hasController](View& sender) {
        auto c = controller.lock();
        auto v = ownerView.lock();
        if (hasController ? !c : !v)
            return;
        action(InterfaceOwner {c.get(), v.get()}, sender);
    };
    if (auto* control = dynamic_cast<Control*>(&view)) {
        control->addTarget(ControlEvent::primaryActionTriggered, [run](Control& sender) { run(sender); });
        return;
    }
    view.setUserInteractionEnabled(true);
    view.addGestureRecognizer(std::make_shared<TapGestureRecognizer>([run](TapGestureRecognizer& recognizer) {
        if (View* sender = recognizer.view())
            run(*sender);
    }));
}

}
