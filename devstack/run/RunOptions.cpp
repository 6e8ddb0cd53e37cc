#include "devstack/run/RunOptions.h"

#include "devstack/run/RunUsage.h"

#include <charconv>

namespace devstack {

namespace {

std::optional<int> portBaseFrom(const std::string& text)
{
    int value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    // Three consecutive ports must fit below 65536.
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 65533)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<RunOptions> RunOptions::parse(const std::vector<std::string>& arguments, std::string& problem)
{
    RunOptions options;
    for (std::size_t index = 0; index < arguments.size(); ++index) {
        const auto& argument = arguments[index];
        auto nextValue = [&]() -> std::optional<std::string> {
            if (index + 1 >= arguments.size() || arguments[index + 1].empty()) {
                problem = argument + " needs a value";
                return std::nullopt;
            }
            return arguments[++index];
        };
        if (argument == "--data") {
            auto value = nextValue();
            if (!value)
                return std::nullopt;
            options.dataFolder = std::filesystem::absolute(*value);
        } else if (argument == "--port-base") {
            auto value = nextValue();
            if (!value)
                return std::nullopt;
            auto base = portBaseFrom(*value);
            if (!base) {
                problem = "--port-base needs a port from 1 to 65533, not \"" + *value + "\"";
                return std::nullopt;
            }
            options.portBase = *base;
        } else if (argument == "--keep") {
            options.keep = true;
        } else if (argument == "--serve") {
            options.serve = true;
        } else if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else {
            problem = "unknown argument \"" + argument + "\"";
            return std::nullopt;
        }
    }
    return options;
}

const char* RunOptions::usage()
{
    return kRunUsage;
}

} // namespace devstack
