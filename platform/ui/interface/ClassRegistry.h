#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace platform::ui {

class View;
class ViewController;
class WindowSceneDelegate;

// The object an interface file connects outlets and actions on: a screen or a view.
struct InterfaceOwner {
    ViewController* controller = nullptr;
    View* view = nullptr;
};

// Classes that interface files and the scene manifest name, with each class's
// table of outlets and actions. The application registers its classes before
// launch; the toolkit registers its own controls.
class ClassRegistry {
public:
    // Connects `target` to the owner's outlet; false when the owner or the
    // target is of the wrong kind.
    using OutletSetter = std::function<bool(InterfaceOwner, const std::shared_ptr<View>& target)>;
    // Runs the owner's action for `sender`.
    using Action = std::function<void(InterfaceOwner, View& sender)>;

    static ClassRegistry& shared();

    void registerViewController(const std::string& name, std::function<std::shared_ptr<ViewController>()> make);
    void registerView(const std::string& name, std::function<std::shared_ptr<View>()> make);
    void registerSceneDelegate(const std::string& name, std::function<std::shared_ptr<WindowSceneDelegate>()> make);
    void registerOutlet(const std::string& className, const std::string& outlet, OutletSetter setter);
    void registerAction(const std::string& className, const std::string& action, Action run);

    std::shared_ptr<ViewController> makeViewController(const std::string& name) const;
    std::shared_ptr<View> makeView(const std::string& name) const;
    std::shared_ptr<WindowSceneDelegate> makeSceneDelegate(const std::string& name) const;
    const OutletSetter* outlet(const std::string& className, const std::string& outlet) const;
    const Action* action(const std::string& className, const std::string& action) const;

    // Outlet and action helpers for a member `std::weak_ptr<T> Owner::*`
    // and a member function `void Owner::*()`.
    template<typename Owner, typename T>
    static OutletSetter weakOutlet(std::weak_ptr<T> Owner::*member)
    {
        return [member](InterfaceOwner owner, const std::shared_ptr<View>& target) {
            Owner* object = ownerAs<Owner>(owner);
            auto typed = std::dynamic_pointer_cast<T>(target);
            if (!object || !typed)
                return false;
            object->*member = typed;
            return true;
        };
    }
    template<typename Owner>
    static Action memberAction(void (Owner::*method)())
    {
        return [method](InterfaceOwner owner, View&) {
            if (Owner* object = ownerAs<Owner>(owner))
                (object->*method)();
        };
    }

private:
    template<typename Owner>
    static Owner* ownerAs(InterfaceOwner owner)
    {
        if constexpr (std::is_base_of_v<ViewController, Owner>)
            return dynamic_cast<Owner*>(owner.controller);
        else
            return dynamic_cast<Owner*>(owner.view);
    }

    std::map<std::string, std::function<std::shared_ptr<ViewController>()>> controllers_;
    std::map<std::string, std::function<std::shared_ptr<View>()>> views_;
    std::map<std::string, std::function<std::shared_ptr<WindowSceneDelegate>()>> sceneDelegates_;
    std::map<std::string, std::map<std::string, OutletSetter>> outlets_;
    std::map<std::string, std::map<std::string, Action>> actions_;
};

}
