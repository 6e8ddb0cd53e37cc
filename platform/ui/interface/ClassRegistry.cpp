#include "platform/ui/interface/ClassRegistry.h"

#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WindowSceneDelegate.h"

namespace platform::ui {

ClassRegistry& ClassRegistry::shared()
{
    static ClassRegistry registry;
    return registry;
}

void ClassRegistry::registerViewController(const std::string& name, std::function<std::shared_ptr<ViewController>()> make)
{
    controllers_[name] = std::move(make);
}

void ClassRegistry::registerView(const std::string& name, std::function<std::shared_ptr<View>()> make)
{
    views_[name] = std::move(make);
}

void ClassRegistry::registerSceneDelegate(const std::string& name, std::function<std::shared_ptr<WindowSceneDelegate>()> make)
{
    sceneDelegates_[name] = std::move(make);
}

void ClassRegistry::registerOutlet(const std::string& className, const std::string& outlet, OutletSetter setter)
{
    outlets_[className][outlet] = std::move(setter);
}

void ClassRegistry::registerAction(const std::string& className, const std::string& action, Action run)
{
    actions_[className][action] = std::move(run);
}

std::shared_ptr<ViewController> ClassRegistry::makeViewController(const std::string& name) const
{
    auto it = controllers_.find(name);
    if (it != controllers_.end())
        return it->second();
    if (name.empty() || name == "ViewController")
        return std::make_shared<ViewController>();
    return nullptr;
}

std::shared_ptr<View> ClassRegistry::makeView(const std::string& name) const
{
    auto it = views_.find(name);
    return it != views_.end() ? it->second() : nullptr;
}

std::shared_ptr<WindowSceneDelegate> ClassRegistry::makeSceneDelegate(const std::string& name) const
{
    auto it = sceneDelegates_.find(name);
    return it != sceneDelegates_.end() ? it->second() : nullptr;
}

const ClassRegistry::OutletSetter* ClassRegistry::outlet(const std::string& className, const std::string& outlet) const
{
    auto table = outlets_.find(className);
    if (table == outlets_.end())
        return nullptr;
    auto it = table->second.find(outlet);
    return it != table->second.end() ? &it->second : nullptr;
}

const ClassRegistry::Action* ClassRegistry::action(const std::string& className, const std::string& action) const
{
    auto table = actions_.find(className);
    if (table == actions_.end())
        return nullptr;
    auto it = table->second.find(action);
    return it != table->second.end() ? &it->second : nullptr;
}

}
