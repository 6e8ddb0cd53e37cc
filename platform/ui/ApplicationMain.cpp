#include "platform/ui/ApplicationMain.h"

#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/RunLoop.h"
#include "platform/foundation/Bundle.h"
#include "platform/ui/Application.h"
#include "platform/ui/graphics/FontLibrary.h"

#include <string_view>

namespace platform::ui {

LaunchOptions launchOptionsFromArguments(int argc, char** argv)
{
    LaunchOptions options;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string_view(argv[i]) == "--url")
            options.urls.emplace_back(argv[++i]);
    }
    return options;
}

int applicationMain(int argc, char** argv, std::function<std::shared_ptr<ApplicationDelegate>()> makeDelegate)
{
    LaunchOptions options = launchOptionsFromArguments(argc, argv);
    // The application's font names resolve through the fonts.conf it ships.
    FontLibrary::shared().loadConfigurationOfBundle(Bundle::main());
    DispatchQueue::main().async([makeDelegate = std::move(makeDelegate), options] {
        Application::shared().launch(makeDelegate ? makeDelegate() : std::make_shared<ApplicationDelegate>(), options);
    });
    RunLoop::main().run();
    return 0;
}

}
