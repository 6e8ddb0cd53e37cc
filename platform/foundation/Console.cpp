#include "platform/foundation/Console.h"

#include "platform/testing/Seams.h"

#include <cstdio>
#include <mutex>

namespace platform {

namespace {

std::mutex mutex;
std::function<void(std::string_view)> sink;

} // namespace

void console(std::string_view line)
{
    std::lock_guard lock(mutex);
    if (sink) {
        sink(line);
        return;
    }
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void setConsoleSinkForTesting(std::function<void(std::string_view)> replacement)
{
    std::lock_guard lock(mutex);
    sink = std::move(replacement);
}

} // namespace platform
