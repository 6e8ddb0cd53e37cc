#include "platform/ui/interface/Nib.h"

#include "platform/foundation/Console.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/interface/InterfaceDecoder.h"

#include <nlohmann/json.hpp>

namespace platform::ui {

struct Nib::Document {
    nlohmann::json json;
};

std::shared_ptr<Nib> Nib::named(const std::string& name, const Bundle& bundle)
{
    auto path = bundle.pathForResource(name, "nib.json");
    if (!path) {
        platform::console("Could not load NIB in bundle: '" + bundle.path().string() + "' with name '" + name + "'");
        return nullptr;
    }
    auto document = std::make_shared<Document>();
    document->json = readInterfaceFile(*path);
    if (!document->json.is_object() || !document->json.contains("objects") || !document->json["objects"].is_array()) {
        platform::console("NIB '" + name + "' is not a valid interface file");
        return nullptr;
    }
    return std::make_shared<Nib>(name, document);
}

Nib::Nib(std::string name, std::shared_ptr<const Document> document)
    : name_(std::move(name))
    , document_(std::move(document))
{
}

std::vector<std::shared_ptr<View>> Nib::instantiate(InterfaceOwner owner, const std::string& ownerClass) const
{
    InterfaceDecoder decoder(name_ + ".nib");
    std::vector<std::shared_ptr<View>> objects;
    for (const auto& spec : document_->json["objects"]) {
        if (auto view = decoder.decodeView(spec))
            objects.push_back(view);
    }
    if (auto it = document_->json.find("constraints"); it != document_->json.end())
        decoder.decodeConstraints(*it);
    // Top-level views keep the frames the file gives them.
    for (auto& view : objects)
        view->setTranslatesAutoresizingMaskIntoConstraints(true);
    std::string className = ownerClass;
    if (className.empty())
        className = owner.controller ? owner.controller->className() : owner.view ? owner.view->className() : std::string();
    if (owner.controller || owner.view) {
        if (auto it = document_->json.find("ownerOutlets"); it != document_->json.end())
            decoder.connectOutlets(*it, owner, className);
        if (auto it = document_->json.find("ownerActions"); it != document_->json.end())
            decoder.connectActions(*it, owner, className);
    }
    decoder.finish();
    return objects;
}

std::vector<std::shared_ptr<View>> loadNibNamed(const std::string& name, InterfaceOwner owner, const std::string& ownerClass)
{
    auto nib = Nib::named(name);
    return nib ? nib->instantiate(owner, ownerClass) : std::vector<std::shared_ptr<View>> {};
}

}
