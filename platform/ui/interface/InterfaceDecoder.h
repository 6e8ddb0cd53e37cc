#pragma once

#include "platform/ui/interface/ClassRegistry.h"

#include <nlohmann/json_fwd.hpp>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::ui {

class View;
struct Color;

// Builds views from the JSON of one interface file. Views are objects with
// "class", an optional "id" that constraints and outlets name, "frame",
// appearance keys and "subviews"; constraints read
// {"first": "id.attribute", "second": "id.guide.attribute", "constant": 8, ...}.
class InterfaceDecoder {
public:
    explicit InterfaceDecoder(std::string fileName) : fileName_(std::move(fileName)) { }

    // Nothing when the class is unknown (reported on the console).
    std::shared_ptr<View> decodeView(const nlohmann::json& spec);
    void decodeConstraints(const nlohmann::json& list);
    // Connects {"outlet": "id"} on `owner`; one console line per outlet that
    // the class does not have or whose view is missing.
    void connectOutlets(const nlohmann::json& outlets, InterfaceOwner owner, const std::string& ownerClass);
    // Connects {"action": "id"} so that a tap on that view (or a control's
    // primary action) runs the owner's action.
    void connectActions(const nlohmann::json& actions, InterfaceOwner owner, const std::string& ownerClass);
    // Outlets declared on views in the file, then awakeFromNib on every view.
    void finish();

    std::shared_ptr<View> viewWithId(const std::string& id) const;

private:
    void applyProperties(View& view, const nlohmann::json& spec);

    std::string fileName_;
    std::map<std::string, std::shared_ptr<View>> ids_;
    std::vector<std::shared_ptr<View>> decoded_;
    std::vector<std::pair<std::shared_ptr<View>, const nlohmann::json*>> viewOutlets_;
};

// The JSON object of an interface file; a discarded value when the file is
// not readable JSON.
nlohmann::json readInterfaceFile(const std::filesystem::path& path);
// Reads "#rrggbb", "#rrggbbaa" or a system colour name ("white", "systemGray4").
std::optional<Color> decodeColor(const nlohmann::json& value);
// Keys that only some controls have (text, font, image, axis, ...).
void applyControlProperties(View& view, const nlohmann::json& spec);
// Runs `action` of `owner` (held weakly) on a tap of `view`, or on a control's primary action.
void connectAction(View& view, const ClassRegistry::Action& action, InterfaceOwner owner);
// Makes a toolkit class by its name, without the application's registry.
std::shared_ptr<View> makeToolkitView(const std::string& className);

}
