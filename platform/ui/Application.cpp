#include "platform/ui/Application.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/NotificationCenter.h"
#include "platform/testing/Seams.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/interface/ClassRegistry.h"
#include "platform/ui/interface/Storyboard.h"

#include <algorithm>
#include <cctype>

namespace platform::ui {

namespace {

const PlistValue* member(const PlistValue* value, const std::string& key)
{
    auto* dictionary = value ? value->get<PlistValue::Dictionary>() : nullptr;
    if (!dictionary)
        return nullptr;
    auto it = dictionary->find(key);
    return it != dictionary->end() ? &it->second : nullptr;
}

std::string text(const PlistValue* value)
{
    auto* string = value ? value->get<std::string>() : nullptr;
    return string ? *string : std::string();
}

// Fills in the scene delegate class and storyboard from the bundle's scene manifest.
void completeFromManifest(SceneConfiguration& configuration)
{
    auto manifest = Bundle::main().objectForInfoDictionaryKey("UIApplicationSceneManifest");
    auto* roles = member(manifest ? &*manifest : nullptr, "UISceneConfigurations");
    auto* entries = member(roles, configuration.role);
    auto* list = entries ? entries->get<PlistValue::Array>() : nullptr;
    if (list) {
        for (const auto& entry : *list) {
            if (text(member(&entry, "UISceneConfigurationName")) != configuration.name)
                continue;
            if (configuration.delegateClassName.empty())
                configuration.delegateClassName = text(member(&entry, "UISceneDelegateClassName"));
            if (configuration.storyboardName.empty())
                configuration.storyboardName = text(member(&entry, "UISceneStoryboardFile"));
        }
    }
    if (configuration.storyboardName.empty()) {
        auto mainStoryboard = Bundle::main().objectForInfoDictionaryKey("UIMainStoryboardFile");
        configuration.storyboardName = text(mainStoryboard ? &*mainStoryboard : nullptr);
    }
}

}

Application& Application::shared()
{
    static Application application;
    return application;
}

std::vector<std::shared_ptr<Window>> Application::windows() const
{
    std::vector<std::shared_ptr<Window>> all;
    for (const auto& scene : scenes_) {
        if (auto* windowScene = dynamic_cast<WindowScene*>(scene.get())) {
            auto windows = windowScene->windows();
            all.insert(all.end(), windows.begin(), windows.end());
        }
    }
    return all;
}

std::string Application::lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Application::schemeOf(const std::string& url)
{
    auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0)
        return {};
    std::string scheme = url.substr(0, colon);
    bool valid = std::isalpha(static_cast<unsigned char>(scheme[0]))
        && std::all_of(scheme.begin(), scheme.end(), [](unsigned char c) { return std::isalnum(c) || c == '+' || c == '-' || c == '.'; });
    return valid ? lowercase(scheme) : std::string();
}

std::set<std::string> Application::ownSchemes() const
{
    std::set<std::string> schemes;
    auto types = Bundle::main().objectForInfoDictionaryKey("CFBundleURLTypes");
    auto* list = types ? types->get<PlistValue::Array>() : nullptr;
    if (!list)
        return schemes;
    for (const auto& type : *list) {
        auto* names = member(&type, "CFBundleURLSchemes");
        auto* array = names ? names->get<PlistValue::Array>() : nullptr;
        if (!array)
            continue;
        for (const auto& name : *array) {
            if (auto* scheme = name.get<std::string>())
                schemes.insert(lowercase(*scheme));
        }
    }
    return schemes;
}

bool Application::canOpenURL(const std::string& url) const
{
    std::string scheme = schemeOf(url);
    return !scheme.empty() && (externalSchemes_.count(scheme) || ownSchemes().count(scheme));
}

void Application::open(const std::string& url, std::function<void(bool)> completion)
{
    bool opened = canOpenURL(url);
    if (opened)
        openedURLs_.push_back(url);
    bool own = opened && ownSchemes().count(schemeOf(url));
    DispatchQueue::main().async([this, url, own, opened, completion] {
        if (own) {
            for (const auto& scene : scenes_) {
                if (auto delegate = scene->delegate())
                    delegate->sceneOpenURLContexts(*scene, {{url}});
            }
        }
        if (completion)
            completion(opened);
    });
}

void Application::post(const char* name)
{
    NotificationCenter::defaultCenter().post({name, {}});
}

void Application::launch(std::shared_ptr<ApplicationDelegate> delegate, const LaunchOptions& options)
{
    delegate_ = std::move(delegate);
    state_ = ApplicationState::inactive;
    if (delegate_)
        delegate_->didFinishLaunching(*this, options);
    connectScene(options);
    enterForeground();
    becomeActive();
}

void Application::connectScene(const LaunchOptions& options)
{
    SceneConfiguration configuration;
    if (delegate_)
        configuration = delegate_->configurationForConnecting(*this, "UIWindowSceneSessionRoleApplication");
    completeFromManifest(configuration);

    auto scene = std::make_shared<WindowScene>();
    scenes_.push_back(scene);
    auto sceneDelegate = ClassRegistry::shared().makeSceneDelegate(configuration.delegateClassName);
    if (!sceneDelegate && !configuration.delegateClassName.empty())
        platform::console("Scene delegate class " + configuration.delegateClassName + " is not registered");
    scene->setDelegate(sceneDelegate);

    if (!configuration.storyboardName.empty()) {
        if (auto storyboard = Storyboard::named(configuration.storyboardName)) {
            auto window = std::make_shared<Window>(scene);
            window->setRootViewController(storyboard->instantiateInitialViewController());
            if (sceneDelegate)
                sceneDelegate->window = window;
            window->makeKeyAndVisible();
        }
    }
    SceneConnectionOptions connection;
    for (const auto& url : options.urls)
        connection.urlContexts.push_back({url});
    if (sceneDelegate)
        sceneDelegate->sceneWillConnect(*scene, connection);
    scene->state_ = SceneActivationState::background;
}

void Application::enterForeground()
{
    if (state_ != ApplicationState::background && !scenes_.empty() && scenes_.front()->state_ != SceneActivationState::background)
        return;
    for (const auto& scene : scenes_) {
        scene->state_ = SceneActivationState::foregroundInactive;
        if (auto d = scene->delegate())
            d->sceneWillEnterForeground(*scene);
    }
    state_ = ApplicationState::inactive;
    post(willEnterForegroundNotification);
}

void Application::becomeActive()
{
    if (state_ == ApplicationState::active)
        return;
    if (state_ == ApplicationState::background)
        enterForeground();
    state_ = ApplicationState::active;
    for (const auto& scene : scenes_) {
        scene->state_ = SceneActivationState::foregroundActive;
        if (auto d = scene->delegate())
            d->sceneDidBecomeActive(*scene);
    }
    if (scenes_.empty() && delegate_)
        delegate_->applicationDidBecomeActive(*this);
    post(didBecomeActiveNotification);
}

void Application::resignActive()
{
    if (state_ != ApplicationState::active)
        return;
    for (const auto& scene : scenes_) {
        scene->state_ = SceneActivationState::foregroundInactive;
        if (auto d = scene->delegate())
            d->sceneWillResignActive(*scene);
    }
    if (scenes_.empty() && delegate_)
        delegate_->applicationWillResignActive(*this);
    state_ = ApplicationState::inactive;
    post(willResignActiveNotification);
}

void Application::enterBackground()
{
    if (state_ == ApplicationState::background)
        return;
    resignActive();
    for (const auto& scene : scenes_) {
        scene->state_ = SceneActivationState::background;
        if (auto d = scene->delegate())
            d->sceneDidEnterBackground(*scene);
    }
    state_ = ApplicationState::background;
    post(didEnterBackgroundNotification);
}

void Application::userDidTakeScreenshot()
{
    post(userDidTakeScreenshotNotification);
}

void resetApplicationForTesting()
{
    auto& application = Application::shared();
    application.delegate_.reset();
    application.scenes_.clear();
    application.keyWindow_.reset();
    application.openedURLs_.clear();
    application.externalSchemes_ = {"http", "https", "tel", "mailto", "app-settings"};
    application.state_ = ApplicationState::inactive;
}

}
