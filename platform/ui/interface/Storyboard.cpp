#include "platform/ui/interface/Storyboard.h"

#include "platform/foundation/Console.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/interface/InterfaceDecoder.h"

#include <nlohmann/json.hpp>

namespace platform::ui {

struct Storyboard::Document {
    nlohmann::json json;
};

std::shared_ptr<Storyboard> Storyboard::named(const std::string& name, const Bundle& bundle)
{
    auto path = bundle.pathForResource(name, "storyboard.json");
    if (!path) {
        platform::console("Could not find a storyboard named '" + name + "' in bundle " + bundle.path().string());
        return nullptr;
    }
    auto document = std::make_shared<Document>();
    document->json = readInterfaceFile(*path);
    if (!document->json.is_object() || !document->json.contains("scenes") || !document->json["scenes"].is_array()) {
        platform::console("Storyboard '" + name + "' is not a valid storyboard file");
        return nullptr;
    }
    return std::make_shared<Storyboard>(name, document);
}

Storyboard::Storyboard(std::string name, std::shared_ptr<const Document> document)
    : name_(std::move(name))
    , document_(std::move(document))
{
}

std::shared_ptr<ViewController> Storyboard::instantiateInitialViewController()
{
    auto it = document_->json.find("initialViewController");
    if (it == document_->json.end() || !it->is_string()) {
        platform::console("Storyboard '" + name_ + "' has no initial view controller");
        return nullptr;
    }
    return instantiateViewController(it->get<std::string>());
}

std::shared_ptr<ViewController> Storyboard::instantiateViewController(const std::string& identifier)
{
    for (const auto& scene : document_->json["scenes"]) {
        if (scene.is_object() && scene.value("identifier", std::string()) == identifier)
            return instantiate(&scene);
    }
    platform::console("Storyboard '" + name_ + "' doesn't contain a view controller with identifier '" + identifier + "'");
    return nullptr;
}

std::shared_ptr<ViewController> Storyboard::instantiate(const void* opaque)
{
    const auto& scene = *static_cast<const nlohmann::json*>(opaque);
    std::string className = scene.value("class", std::string("ViewController"));
    auto controller = ClassRegistry::shared().makeViewController(className);
    if (!controller) {
        platform::console("Unknown view controller class " + className + " in storyboard '" + name_ + "'");
        return nullptr;
    }
    controller->setStoryboard(shared_from_this());
    std::string fileName = name_ + ".storyboard";
    // Keep the document alive as long as the screen may still load its view.
    auto document = document_;
    const nlohmann::json* sceneJson = &scene;
    controller->setViewLoader([document, sceneJson, fileName, className](ViewController& owner) -> std::shared_ptr<View> {
        InterfaceDecoder decoder(fileName);
        std::shared_ptr<View> root;
        if (auto it = sceneJson->find("view"); it != sceneJson->end())
            root = decoder.decodeView(*it);
        if (!root)
            return nullptr;
        if (!sceneJson->contains("view") || !(*sceneJson)["view"].contains("frame"))
            root->setFrame(Screen::main().bounds());
        root->setTranslatesAutoresizingMaskIntoConstraints(true);
        if (auto it = sceneJson->find("constraints"); it != sceneJson->end())
            decoder.decodeConstraints(*it);
        root->setTranslatesAutoresizingMaskIntoConstraints(true);
        InterfaceOwner self {&owner, nullptr};
        if (auto it = sceneJson->find("outlets"); it != sceneJson->end())
            decoder.connectOutlets(*it, self, className);
        if (auto it = sceneJson->find("actions"); it != sceneJson->end())
            decoder.connectActions(*it, self, className);
        decoder.finish();
        return root;
    });
    controller->awakeFromNib();
    return controller;
}

}
