#pragma once

// Answers HTTP requests with a devstack service's handlers, in-process: the
// bytes go through httplib's own request parser from memory and the answers
// are kept in memory, so no socket and no TLS is involved.
#include "devstack/server/HttpsService.h"

#include <httplib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <map>
#include <regex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fuzzing {

// One connection's bytes, read from memory; what is written is kept.
class MemoryStream final : public httplib::Stream {
public:
    explicit MemoryStream(std::string_view bytes)
        : rest_(bytes)
    {
    }

    bool atEnd() const { return rest_.empty(); }
    const std::string& written() const { return written_; }

    bool is_readable() const override { return true; }
    bool is_writable() const override { return true; }
    ssize_t read(char* buffer, size_t size) override
    {
        auto count = std::min(size, rest_.size());
        std::memcpy(buffer, rest_.data(), count);
        rest_.remove_prefix(count);
        return static_cast<ssize_t>(count);
    }
    ssize_t write(const char* bytes, size_t size) override
    {
        written_.append(bytes, size);
        return static_cast<ssize_t>(size);
    }
    void get_remote_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 50000;
    }
    void get_local_ip_and_port(std::string& ip, int& port) const override
    {
        ip = "127.0.0.1";
        port = 8443;
    }
    socket_t socket() const override { return INVALID_SOCKET; }

private:
    std::string_view rest_;
    std::string written_;
};

// A service's routes on a server that is never bound. A handler that throws
// is a fault here: httplib would turn it into a bare 500 and hide it.
class InProcessServer final : public httplib::Server {
public:
    explicit InProcessServer(devstack::HttpsService& service)
    {
        service.serveOn(*this);
        set_exception_handler([](const httplib::Request& request, httplib::Response&, std::exception_ptr error) {
            try {
                std::rethrow_exception(error);
            } catch (const std::exception& thrown) {
                std::fprintf(stderr, "handler for %s %s threw: %s\n", request.method.c_str(), request.path.c_str(), thrown.what());
            } catch (...) {
                std::fprintf(stderr, "handler for %s %s threw\n", request.method.c_str(), request.path.c_str());
            }
            std::abort();
        });
    }

    // Answers each request in `bytes` in turn, as one kept-alive connection
    // would, and returns the answers' bytes.
    std::string answer(std::string_view bytes)
    {
        MemoryStream stream(bytes);
        bool closed = false;
        // A request that is answered has used at least its request line.
        while (!closed && !stream.atEnd()) {
            if (!process_request(stream, false, closed, [](httplib::Request&) {}))
                break;
        }
        return stream.written();
    }
};

// Runs a conversation: the input holds requests separated by the line
// "~~~", and a placeholder "@NAME@" in a request is replaced by the last value
// an earlier answer gave for that name, so that seeds can follow a sign-in or
// a token from one request into the next.
class Conversation {
public:
    // `pattern`'s first group, found in an answer, is the value of "@name@".
    void capture(std::string name, const char* pattern) { captures_.push_back({ std::move(name), std::regex(pattern) }); }

    void run(InProcessServer& server, std::string_view input)
    {
        // Nothing is kept from one input to the next.
        struct Forget {
            std::map<std::string, std::string>& values;
            ~Forget() { values.clear(); }
        } forget { values_ };
        static constexpr std::string_view separator = "\n~~~\n";
        while (true) {
            auto end = input.find(separator);
            auto answer = server.answer(substituted(input.substr(0, end)));
            for (const auto& [name, pattern] : captures_) {
                std::smatch match;
                if (std::regex_search(answer, match, pattern))
                    values_[name] = match[1].str();
            }
            if (end == std::string_view::npos)
                return;
            input.remove_prefix(end + separator.size());
        }
    }

private:
    std::string substituted(std::string_view request) const
    {
        std::string text(request);
        for (const auto& [name, value] : values_) {
            auto placeholder = "@" + name + "@";
            for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
                text.replace(at, placeholder.size(), value);
        }
        return text;
    }

    std::vector<std::pair<std::string, std::regex>> captures_;
    std::map<std::string, std::string> values_;
};

} // namespace fuzzing
