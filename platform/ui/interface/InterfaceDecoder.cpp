#include "platform/ui/interface/InterfaceDecoder.h"

#include "platform/foundation/Console.h"
#include "platform/ui/View.h"
#include "platform/ui/controls/ScrollView.h"
#include "platform/ui/controls/StackView.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <sstream>

namespace platform::ui {

using nlohmann::json;

namespace {

double number(const json& spec, const char* key, double fallback)
{
    auto it = spec.find(key);
    return it != spec.end() && it->is_number() ? it->get<double>() : fallback;
}

std::optional<bool> flag(const json& spec, const char* key)
{
    auto it = spec.find(key);
    if (it != spec.end() && it->is_boolean())
        return it->get<bool>();
    return std::nullopt;
}

std::optional<std::string> string(const json& spec, const char* key)
{
    auto it = spec.find(key);
    if (it != spec.end() && it->is_string())
        return it->get<std::string>();
    return std::nullopt;
}

std::optional<LayoutAttribute> attributeNamed(const std::string& name)
{
    static const std::map<std::string, LayoutAttribute> names {
        {"left", LayoutAttribute::left}, {"right", LayoutAttribute::right}, {"top", LayoutAttribute::top},
        {"bottom", LayoutAttribute::bottom}, {"leading", LayoutAttribute::leading}, {"trailing", LayoutAttribute::trailing},
        {"width", LayoutAttribute::width}, {"height", LayoutAttribute::height}, {"centerX", LayoutAttribute::centerX},
        {"centerY", LayoutAttribute::centerY}};
    auto it = names.find(name);
    if (it == names.end())
        return std::nullopt;
    return it->second;
}

}

json readInterfaceFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return json::parse(bytes.str(), nullptr, false);
}

std::optional<Color> decodeColor(const json& value)
{
    if (!value.is_string())
        return std::nullopt;
    std::string text = value.get<std::string>();
    if (!text.empty() && text[0] == '#') {
        std::string digits = text.substr(1);
        if ((digits.size() != 6 && digits.size() != 8) || digits.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return std::nullopt;
        auto byte = [&](std::size_t i) { return std::stoi(digits.substr(i, 2), nullptr, 16) / 255.0; };
        return Color {byte(0), byte(2), byte(4), digits.size() == 8 ? byte(6) : 1.0};
    }
    static const std::map<std::string, Color (*)()> names {
        {"clear", Color::clear}, {"black", Color::black}, {"white", Color::white}, {"gray", Color::gray},
        {"lightGray", Color::lightGray}, {"darkGray", Color::darkGray}, {"systemBlue", Color::systemBlue},
        {"systemRed", Color::systemRed}, {"systemGray", Color::systemGray}, {"systemGray2", Color::systemGray2},
        {"systemGray3", Color::systemGray3}, {"systemGray4", Color::systemGray4}, {"systemGray5", Color::systemGray5},
        {"systemGray6", Color::systemGray6}, {"systemBackground", Color::systemBackground}, {"label", Color::label},
        {"secondaryLabel", Color::secondaryLabel}, {"separator", Color::separator}};
    auto it = names.find(text);
    if (it == names.end())
        return std::nullopt;
    return it->second();
}

std::shared_ptr<View> InterfaceDecoder::decodeView(const json& spec)
{
    if (!spec.is_object())
        return nullptr;
    std::string className = string(spec, "class").value_or("View");
    auto view = ClassRegistry::shared().makeView(className);
    if (!view)
        view = makeToolkitView(className);
    if (!view) {
        platform::console("Unknown class " + className + " in interface file " + fileName_);
        return nullptr;
    }
    if (auto id = string(spec, "id"))
        ids_[*id] = view;
    decoded_.push_back(view);
    applyProperties(*view, spec);
    if (auto it = spec.find("subviews"); it != spec.end() && it->is_array()) {
        for (const auto& child : *it) {
            if (auto subview = decodeView(child)) {
                // A stack view arranges the subviews the file gives it.
                if (auto* stack = dynamic_cast<StackView*>(view.get()))
                    stack->addArrangedSubview(subview);
                else
                    view->interfaceContentView().addSubview(subview);
            }
        }
    }
    if (auto it = spec.find("outlets"); it != spec.end() && it->is_object())
        viewOutlets_.push_back({view, &*it});
    return view;
}

void InterfaceDecoder::applyProperties(View& view, const json& spec)
{
    if (auto it = spec.find("frame"); it != spec.end() && it->is_array() && it->size() == 4 && (*it)[0].is_number()
        && (*it)[1].is_number() && (*it)[2].is_number() && (*it)[3].is_number())
        view.setFrame({(*it)[0].get<double>(), (*it)[1].get<double>(), (*it)[2].get<double>(), (*it)[3].get<double>()});
    if (auto it = spec.find("backgroundColor"); it != spec.end())
        view.setBackgroundColor(decodeColor(*it));
    if (auto it = spec.find("tintColor"); it != spec.end())
        view.setTintColor(decodeColor(*it));
    view.setAlpha(number(spec, "alpha", view.alpha()));
    if (auto v = flag(spec, "hidden"))
        view.setHidden(*v);
    if (auto v = flag(spec, "clipsToBounds"))
        view.setClipsToBounds(*v);
    if (auto v = flag(spec, "userInteractionEnabled"))
        view.setUserInteractionEnabled(*v);
    if (auto v = flag(spec, "autoresizing"))
        view.setTranslatesAutoresizingMaskIntoConstraints(*v);
    else if (spec.contains("frame") == false)
        view.setTranslatesAutoresizingMaskIntoConstraints(false);
    view.setTag(static_cast<int>(number(spec, "tag", view.tag())));
    if (auto v = string(spec, "accessibilityIdentifier"))
        view.setAccessibilityIdentifier(*v);
    if (auto v = string(spec, "accessibilityLabel"))
        view.setAccessibilityLabel(*v);
    view.layer().setCornerRadius(number(spec, "cornerRadius", view.layer().cornerRadius()));
    view.layer().setBorderWidth(number(spec, "borderWidth", view.layer().borderWidth()));
    if (auto it = spec.find("borderColor"); it != spec.end()) {
        if (auto color = decodeColor(*it))
            view.layer().setBorderColor(*color);
    }
    if (auto it = spec.find("layoutMargins"); it != spec.end() && it->is_array() && it->size() == 4)
        view.setDirectionalLayoutMargins({(*it)[0].get<double>(), (*it)[1].get<double>(), (*it)[2].get<double>(), (*it)[3].get<double>()});
    for (const char* key : {"huggingH", "huggingV", "compressionH", "compressionV"}) {
        auto it = spec.find(key);
        if (it == spec.end() || !it->is_number())
            continue;
        std::string name = key;
        LayoutAxis axis = name.back() == 'H' ? LayoutAxis::horizontal : LayoutAxis::vertical;
        auto priority = it->get<LayoutPriority>();
        if (name.rfind("hugging", 0) == 0)
            view.setContentHuggingPriority(priority, axis);
        else
            view.setContentCompressionResistancePriority(priority, axis);
    }
    applyControlProperties(view, spec);
}

std::shared_ptr<View> InterfaceDecoder::viewWithId(const std::string& id) const
{
    auto it = ids_.find(id);
    return it != ids_.end() ? it->second : nullptr;
}

void InterfaceDecoder::decodeConstraints(const json& list)
{
    if (!list.is_array())
        return;
    auto resolve = [&](const std::string& text) -> std::optional<LayoutAnchor> {
        auto dot = text.find('.');
        auto last = text.rfind('.');
        if (dot == std::string::npos)
            return std::nullopt;
        auto view = viewWithId(text.substr(0, dot));
        auto attribute = attributeNamed(text.substr(last + 1));
        if (!view || !attribute)
            return std::nullopt;
        std::string guide = last > dot ? text.substr(dot + 1, last - dot - 1) : std::string();
        LayoutGuide* layoutGuide = nullptr;
        if (guide == "safeArea")
            layoutGuide = &view->safeAreaLayoutGuide();
        else if (guide == "margins")
            layoutGuide = &view->layoutMarginsGuide();
        else if (auto* scroll = dynamic_cast<ScrollView*>(view.get()); scroll && guide == "content")
            layoutGuide = &scroll->contentLayoutGuide();
        else if (scroll && guide == "frame")
            layoutGuide = &scroll->frameLayoutGuide();
        else if (!guide.empty())
            return std::nullopt;
        return LayoutAnchor(view, layoutGuide, *attribute);
    };
    for (const auto& spec : list) {
        auto firstText = spec.is_object() ? string(spec, "first") : std::nullopt;
        auto first = firstText ? resolve(*firstText) : std::nullopt;
        if (!first) {
            platform::console("Constraint with an unknown first item in interface file " + fileName_ + ": " + firstText.value_or("?"));
            continue;
        }
        std::optional<LayoutAnchor> second;
        if (auto secondText = string(spec, "second")) {
            second = resolve(*secondText);
            if (!second) {
                platform::console("Constraint with an unknown second item in interface file " + fileName_ + ": " + *secondText);
                continue;
            }
        }
        std::string relationText = string(spec, "relation").value_or("==");
        LayoutRelation relation = relationText == "<=" ? LayoutRelation::lessThanOrEqual
            : relationText == ">=" ? LayoutRelation::greaterThanOrEqual : LayoutRelation::equal;
        auto constraint = std::make_shared<LayoutConstraint>(*first, relation, second, number(spec, "multiplier", second ? 1 : 0),
                                                             number(spec, "constant", 0));
        constraint->setPriority(static_cast<LayoutPriority>(number(spec, "priority", layoutPriorityRequired)));
        if (auto view = first->view().lock(); view && !spec.contains("keepsAutoresizing"))
            view->setTranslatesAutoresizingMaskIntoConstraints(false);
        constraint->setActive(true);
    }
}

void InterfaceDecoder::connectOutlets(const json& outlets, InterfaceOwner owner, const std::string& ownerClass)
{
    if (!outlets.is_object())
        return;
    for (const auto& [name, target] : outlets.items()) {
        auto view = target.is_string() ? viewWithId(target.get<std::string>()) : nullptr;
        const auto* setter = ClassRegistry::shared().outlet(ownerClass, name);
        if (!setter || !view || !(*setter)(owner, view))
            platform::console("Outlet " + name + " of " + ownerClass + " could not be connected in interface file " + fileName_);
    }
}

void InterfaceDecoder::connectActions(const json& actions, InterfaceOwner owner, const std::string& ownerClass)
{
    if (!actions.is_object())
        return;
    for (const auto& [name, target] : actions.items()) {
        auto view = target.is_string() ? viewWithId(target.get<std::string>()) : nullptr;
        const auto* action = ClassRegistry::shared().action(ownerClass, name);
        if (!action || !view) {
            platform::console("Action " + name + " of " + ownerClass + " could not be connected in interface file " + fileName_);
            continue;
        }
        connectAction(*view, *action, owner);
    }
}

void InterfaceDecoder::finish()
{
    for (const auto& [view, outlets] : viewOutlets_)
        connectOutlets(*outlets, InterfaceOwner {nullptr, view.get()}, view->className());
    viewOutlets_.clear();
    for (const auto& view : decoded_)
        view->awakeFromNib();
}

}
