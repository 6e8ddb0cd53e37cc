#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/ui/interface/ClassRegistry.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {

class View;

// A group of views described in "<name>.nib.json" in a bundle. Instantiating
// it builds new views each time and connects the owner's outlets and actions.
class Nib {
public:
    // Nothing (and one console line) when the file is missing or malformed.
    static std::shared_ptr<Nib> named(const std::string& name, const Bundle& bundle = Bundle::main());

    const std::string& name() const { return name_; }
    // The top-level views, in file order.
    std::vector<std::shared_ptr<View>> instantiate(InterfaceOwner owner = {}, const std::string& ownerClass = {}) const;

    struct Document;
    Nib(std::string name, std::shared_ptr<const Document> document);

private:
    std::string name_;
    std::shared_ptr<const Document> document_;
};

// Loads the nib `name` from the main bundle with `owner`: its top-level views,
// or none (with one console line) when there is no such file.
std::vector<std::shared_ptr<View>> loadNibNamed(const std::string& name, InterfaceOwner owner, const std::string& ownerClass);

}
