#pragma once

#include "platform/foundation/Bundle.h"

#include <memory>
#include <string>

namespace platform::ui {

class ViewController;

// A set of screens described in "<name>.storyboard.json" in a bundle. Each
// instantiation builds a new screen with its view tree, constraints, outlets
// and actions; the screen remembers the storyboard it came from.
class Storyboard : public std::enable_shared_from_this<Storyboard> {
public:
    // Nothing (and one console line) when the file is missing or is not a storyboard.
    static std::shared_ptr<Storyboard> named(const std::string& name, const Bundle& bundle = Bundle::main());

    const std::string& name() const { return name_; }
    std::shared_ptr<ViewController> instantiateInitialViewController();
    // Nothing (and one console line) when no screen has `identifier` or its
    // class is not registered.
    std::shared_ptr<ViewController> instantiateViewController(const std::string& identifier);

    struct Document;
    Storyboard(std::string name, std::shared_ptr<const Document> document);

private:
    std::shared_ptr<ViewController> instantiate(const void* scene);

    std::string name_;
    std::shared_ptr<const Document> document_;
};

}
