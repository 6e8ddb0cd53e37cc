#include "ProviderPagesSession.h"

#include "platform/net/CertificateAuthorities.h"
#include "platform/net/ParameterEncoding.h"

#include <httplib.h>

#include <map>
#include <mutex>
#include <regex>
#include <thread>

namespace platform::interop {

namespace {

struct Form {
    std::string action;
    Parameters fields;
};

// The first POST form of `html` with its named inputs. The provider's pages
// are plain and generated, so a pattern serves for them.
std::optional<Form> firstForm(const std::string& html)
{
    static const std::regex formPattern(R"re(<form[^>]*action="([^"]*)"[^>]*method="post"[^>]*>([\s\S]*?)</form>)re", std::regex::icase);
    static const std::regex inputPattern(R"re(<input([^>]*)>)re", std::regex::icase);
    static const std::regex namePattern(R"re(name="([^"]*)")re", std::regex::icase);
    static const std::regex valuePattern(R"re(value="([^"]*)")re", std::regex::icase);
    std::smatch form;
    if (!std::regex_search(html, form, formPattern))
        return std::nullopt;
    Form found { form[1], {} };
    std::string inputs = form[2];
    for (std::sregex_iterator it(inputs.begin(), inputs.end(), inputPattern), end; it != end; ++it) {
        std::string attributes = (*it)[1];
        std::smatch name, value;
        if (std::regex_search(attributes, name, namePattern))
            found.fields[name[1]] = std::regex_search(attributes, value, valuePattern) ? std::string(value[1]) : "";
    }
    return found;
}

} // namespace

struct ProviderPagesSession::Walk {
    std::string startUrl;
    std::string callbackScheme;
    std::string login;
    std::shared_ptr<PagesSeen> seen;

    std::mutex mutex;
    ProviderPagesSession* owner = nullptr;

    void finish(std::optional<std::string> callbackUrl, std::string why = {})
    {
        std::lock_guard lock(mutex);
        if (!owner)
            return;
        if (callbackUrl)
            owner->complete(std::move(callbackUrl), std::nullopt);
        else
            owner->complete(std::nullopt, Error { Error::Code::canceledLogin, std::move(why) });
        owner = nullptr;
    }

    void run()
    {
        // "https://host:port" of the start address; the provider's pages stay on it.
        std::smatch origin;
        static const std::regex originPattern(R"re(^(https://[^/]+)(/.*)$)re");
        if (!std::regex_match(startUrl, origin, originPattern))
            return finish(std::nullopt, "not a provider address");
        httplib::Client client(origin[1]);
        client.enable_server_certificate_verification(true);
        if (auto authority = extraCertificateAuthorityFile())
            client.set_ca_cert_path(authority->string());
        client.set_follow_location(false);

        std::map<std::string, std::string> cookies;
        std::string path = origin[2];
        std::optional<std::string> postBody;
        for (int load = 0; load < 20; ++load) {
            httplib::Headers headers;
            std::string cookieHeader;
            for (const auto& [name, value] : cookies)
                cookieHeader += (cookieHeader.empty() ? "" : "; ") + name + "=" + value;
            if (!cookieHeader.empty())
                headers.emplace("Cookie", cookieHeader);
            auto result = postBody ? client.Post(path, headers, *postBody, "application/x-www-form-urlencoded") : client.Get(path, headers);
            postBody.reset();
            if (!result)
                return finish(std::nullopt, "page load failed: " + httplib::to_string(result.error()));
            for (auto [it, end] = result->headers.equal_range("Set-Cookie"); it != end; ++it) {
                auto pair = it->second.substr(0, it->second.find(';'));
                auto equals = pair.find('=');
                if (equals != std::string::npos)
                    cookies[pair.substr(0, equals)] = pair.substr(equals + 1);
            }
            if (result->status >= 300 && result->status < 400) {
                auto location = result->get_header_value("Location");
                if (location.starts_with(callbackScheme + ":"))
                    return finish(location);
                if (location.starts_with(origin[1].str()))
                    location = location.substr(origin[1].length());
                if (!location.starts_with("/"))
                    return finish(std::nullopt, "redirect away from the provider: " + location);
                path = location;
                continue;
            }
            auto form = result->status == 200 ? firstForm(result->body) : std::nullopt;
            if (!form)
                return finish(std::nullopt, "HTTP " + std::to_string(result->status) + " without a form: " + result->body.substr(0, 300));
            if (form->fields.contains("password")) {
                ++seen->login;
                form->fields["login"] = login;
                form->fields["password"] = "any password";
            } else if (form->fields["prompt"] == "consent") {
                ++seen->consent;
            } else {
                return finish(std::nullopt, "an unexpected form");
            }
            path = form->action;
            postBody = formEncode(form->fields);
        }
        finish(std::nullopt, "too many pages");
    }
};

ProviderPagesSession::ProviderPagesSession(std::string url, std::optional<std::string> callbackUrlScheme, Completion completion,
    std::string login, std::shared_ptr<PagesSeen> seen)
    : WebAuthenticationSession(std::move(url), std::move(callbackUrlScheme), std::move(completion))
    , walk_(std::make_shared<Walk>())
{
    walk_->startUrl = this->url();
    walk_->callbackScheme = this->callbackUrlScheme().value_or("");
    walk_->login = std::move(login);
    walk_->seen = std::move(seen);
}

ProviderPagesSession::~ProviderPagesSession()
{
    std::lock_guard lock(walk_->mutex);
    walk_->owner = nullptr;
}

WebAuthenticationSession::Factory ProviderPagesSession::factory(std::string login, std::shared_ptr<PagesSeen> seen)
{
    return [login, seen](std::string url, std::optional<std::string> scheme, Completion completion) {
        return std::make_unique<ProviderPagesSession>(std::move(url), std::move(scheme), std::move(completion), login, seen);
    };
}

bool ProviderPagesSession::start()
{
    {
        std::lock_guard lock(walk_->mutex);
        if (walk_->owner || isCompleted())
            return false;
        walk_->owner = this;
    }
    std::thread([walk = walk_] { walk->run(); }).detach();
    return true;
}

void ProviderPagesSession::cancel()
{
    std::lock_guard lock(walk_->mutex);
    walk_->owner = nullptr;
    complete(std::nullopt, Error { Error::Code::canceledLogin, "The sign-in was cancelled." });
}

} // namespace platform::interop
