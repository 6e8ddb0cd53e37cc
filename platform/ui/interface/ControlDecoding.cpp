#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/controls/Label.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/interface/InterfaceDecoder.h"

#include <nlohmann/json.hpp>

namespace platform::ui {

std::shared_ptr<View> makeToolkitView(const std::string& className)
{
    if (className == "View")
        return std::make_shared<View>();
    if (className == "ScrollView")
        return std::make_shared<ScrollView>();
    if (className == "Label")
        return std::make_shared<Label>();
    return nullptr;
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
    view.setUserInteractionEnabled(true);
    view.addGestureRecognizer(std::make_shared<TapGestureRecognizer>([run](TapGestureRecognizer& recognizer) {
        if (View* sender = recognizer.view())
            run(*sender);
    }));
}

}
