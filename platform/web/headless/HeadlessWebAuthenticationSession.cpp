#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include "platform/net/CertificateAuthorities.h"
#include "platform/net/HttpHeaderList.h"
#include "platform/net/ParameterEncoding.h"

#include <httplib.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <variant>

namespace platform {

namespace {

constexpr int maximumPageLoads = 20;

std::optional<std::string> schemeOf(const std::string& url)
{
    if (url.empty() || !std::isalpha(static_cast<unsigned char>(url.front())))
        return std::nullopt;
    for (std::size_t i = 1; i < url.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(url[i]);
        if (c == ':')
            return url.substr(0, i);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return std::nullopt;
    }
    return std::nullopt;
}

std::string lowercased(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// "scheme:", "//authority" (may be empty) and the path of `url`, without query or fragment.
struct UrlParts {
    std::string scheme;
    std::string authority;
    std::string path;
};

std::optional<UrlParts> partsOf(const std::string& url)
{
    auto scheme = schemeOf(url);
    if (!scheme)
        return std::nullopt;
    UrlParts parts { *scheme + ":", {}, {} };
    auto rest = std::string_view(url).substr(scheme->size() + 1);
    if (rest.starts_with("//")) {
        auto end = rest.find_first_of("/?#", 2);
        parts.authority = std::string(rest.substr(0, end));
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end);
    }
    parts.path = std::string(rest.substr(0, rest.find_first_of("?#")));
    return parts;
}

// `reference` (a Location header or a form action) taken relative to `base`.
std::string resolve(const std::string& base, const std::string& reference)
{
    if (schemeOf(reference))
        return reference;
    auto parts = partsOf(base);
    if (!parts)
        return reference;
    if (reference.empty())
        return base;
    if (reference.starts_with("//"))
        return parts->scheme + reference;
    if (reference.starts_with("/"))
        return parts->scheme + parts->authority + reference;
    if (reference.starts_with("?"))
        return parts->scheme + parts->authority + parts->path + reference;
    return parts->scheme + parts->authority + parts->path.substr(0, parts->path.rfind('/') + 1) + reference;
}

std::string decodeEntities(std::string text)
{
    static const std::pair<const char*, const char*> entities[] = {
        { "&quot;", "\"" }, { "&#39;", "'" }, { "&#x27;", "'" }, { "&lt;", "<" }, { "&gt;", ">" }, { "&amp;", "&" },
    };
    for (auto [entity, character] : entities) {
        for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
            text.replace(at, std::strlen(entity), character);
    }
    return text;
}

// The attributes of one tag's inside (after its name), names lower-cased.
std::map<std::string, std::string> attributesOf(std::string_view tag)
{
    std::map<std::string, std::string> attributes;
    auto isNameCharacter = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == ':' || c == '.';
    };
    std::size_t i = 0;
    while (i < tag.size()) {
        while (i < tag.size() && !isNameCharacter(tag[i]))
            ++i;
        auto nameStart = i;
        while (i < tag.size() && isNameCharacter(tag[i]))
            ++i;
        if (nameStart == i)
            break;
        auto name = lowercased(std::string(tag.substr(nameStart, i - nameStart)));
        while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i])))
            ++i;
        std::string value;
        if (i < tag.size() && tag[i] == '=') {
            ++i;
            while (i < tag.size() && std::isspace(static_cast<unsigned char>(tag[i])))
                ++i;
            if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) {
                auto close = tag.find(tag[i], i + 1);
                if (close == std::string_view::npos)
                    close = tag.size();
                value = std::string(tag.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                auto start = i;
                while (i < tag.size() && !std::isspace(static_cast<unsigned char>(tag[i])) && tag[i] != '>')
                    ++i;
                value = std::string(tag.substr(start, i - start));
            }
        }
        attributes.emplace(std::move(name), decodeEntities(std::move(value)));
    }
    return attributes;
}

struct SignInForm {
    std::string action;
    std::string method;
    Parameters fields;
    std::string passwordField;
    std::string usernameField;
};

// The first form of `html` that asks for a password.
std::optional<SignInForm> findSignInForm(const std::string& html)
{
    auto lower = lowercased(html);
    for (auto formStart = lower.find("<form"); formStart != std::string::npos; formStart = lower.find("<form", formStart + 1)) {
        auto tagEnd = lower.find('>', formStart);
        auto formEnd = lower.find("</form>", formStart);
        if (tagEnd == std::string::npos || formEnd == std::string::npos || formEnd < tagEnd)
            return std::nullopt;
        auto formAttributes = attributesOf(std::string_view(html).substr(formStart + 5, tagEnd - formStart - 5));
        SignInForm found { formAttributes["action"], formAttributes.contains("method") ? formAttributes["method"] : "get", {}, {}, {} };
        for (auto input = lower.find("<input", tagEnd); input != std::string::npos && input < formEnd; input = lower.find("<input", input + 1)) {
            auto inputEnd = std::min(lower.find('>', input), formEnd);
            auto attributes = attributesOf(std::string_view(html).substr(input + 6, inputEnd - input - 6));
            auto name = attributes["name"];
            if (name.empty())
                continue;
            auto type = lowercased(attributes.contains("type") ? attributes["type"] : "text");
            if (type == "password")
                found.passwordField = name;
            else if ((type == "text" || type == "email") && found.usernameField.empty())
                found.usernameField = name;
            if (type != "submit" && type != "button")
                found.fields[name] = attributes["value"];
        }
        if (!found.passwordField.empty())
            return found;
    }
    return std::nullopt;
}

struct PageRequest {
    std::string method;
    std::string url;
    // A URL-form body, for POST.
    std::string body;
};

// One page load, without following redirects: a browser that must notice the
// redirect to the application's scheme cannot let its HTTP stack follow it.
std::variant<httplib::Response, std::string> fetch(const PageRequest& request, const std::map<std::string, std::string>& cookies)
{
    auto parts = partsOf(request.url);
    if (!parts || parts->authority.size() <= 2
        || (!equalsIgnoringCase(parts->scheme, "https:") && !equalsIgnoringCase(parts->scheme, "http:")))
        return std::string("not a web address");
    httplib::Client client(lowercased(parts->scheme) + parts->authority);
    client.enable_server_certificate_verification(true);
    if (auto authority = extraCertificateAuthorityFile())
        client.set_ca_cert_path(authority->string());
    client.set_follow_location(false);
    client.set_connection_timeout(std::chrono::seconds(30));
    client.set_read_timeout(std::chrono::seconds(30));

    httplib::Headers headers;
    std::string cookieHeader;
    for (const auto& [name, value] : cookies)
        cookieHeader += (cookieHeader.empty() ? "" : "; ") + name + "=" + value;
    if (!cookieHeader.empty())
        headers.emplace("Cookie", cookieHeader);

    // The path with its query, as the request line carries it.
    auto pathStart = parts->scheme.size() + parts->authority.size();
    auto path = request.url.substr(pathStart, request.url.find('#') == std::string::npos ? std::string::npos : request.url.find('#') - pathStart);
    if (path.empty() || path.front() != '/')
        path = "/" + path;
    auto result = request.method == "POST"
        ? client.Post(path, headers, request.body, "application/x-www-form-urlencoded")
        : client.Get(path, headers);
    if (!result)
        return httplib::to_string(result.error());
    return *result;
}

void keepCookie(const std::string& header, std::map<std::string, std::string>& cookies)
{
    auto pair = header.substr(0, header.find(';'));
    auto equals = pair.find('=');
    if (equals != std::string::npos && equals > 0)
        cookies[pair.substr(0, equals)] = pair.substr(equals + 1);
}

} // namespace

struct HeadlessWebAuthenticationSession::Navigation {
    std::string startUrl;
    std::string callbackScheme;
    User user;

    std::mutex mutex;
    HeadlessWebAuthenticationSession* owner = nullptr;

    void finish(std::optional<std::string> callbackUrl, std::optional<Error> error)
    {
        std::lock_guard lock(mutex);
        if (owner)
            owner->complete(std::move(callbackUrl), std::move(error));
        owner = nullptr;
    }

    void fail(std::string why) { finish(std::nullopt, Error { Error::Code::canceledLogin, std::move(why) }); }

    bool isActive()
    {
        std::lock_guard lock(mutex);
        return owner != nullptr;
    }

    // Plays the user on its own thread, page by page, until the callback
    // scheme is reached, something fails, or the session goes away.
    void run()
    {
        std::map<std::string, std::string> cookies;
        PageRequest next { "GET", startUrl, {} };
        bool submittedCredentials = false;
        for (int load = 0; load < maximumPageLoads; ++load) {
            if (!isActive())
                return;
            auto page = fetch(next, cookies);
            if (auto* error = std::get_if<std::string>(&page)) {
                fail("The sign-in page could not be loaded: " + *error);
                return;
            }
            const auto& response = std::get<httplib::Response>(page);
            for (auto [it, end] = response.headers.equal_range("Set-Cookie"); it != end; ++it)
                keepCookie(it->second, cookies);

            if (response.status >= 300 && response.status < 400) {
                if (!response.has_header("Location")) {
                    fail("The sign-in page redirected nowhere.");
                    return;
                }
                auto target = resolve(next.url, response.get_header_value("Location"));
                auto scheme = schemeOf(target);
                if (scheme && equalsIgnoringCase(*scheme, callbackScheme)) {
                    finish(target, std::nullopt);
                    return;
                }
                next = { "GET", target, {} };
                continue;
            }

            auto form = response.status == 200 ? findSignInForm(response.body) : std::nullopt;
            if (!form) {
                fail("The sign-in page did not return to the application (HTTP " + std::to_string(response.status) + ").");
                return;
            }
            if (std::exchange(submittedCredentials, true)) {
                fail("The sign-in page refused the user's credentials.");
                return;
            }
            form->fields[form->passwordField] = user.password;
            if (!form->usernameField.empty())
                form->fields[form->usernameField] = user.username;
            auto action = resolve(next.url, form->action);
            if (equalsIgnoringCase(form->method, "post"))
                next = { "POST", action, formEncode(form->fields) };
            else
                next = { "GET", action + (action.find('?') == std::string::npos ? "?" : "&") + formEncode(form->fields), {} };
        }
        fail("The sign-in pages redirected too often.");
    }
};

HeadlessWebAuthenticationSession::HeadlessWebAuthenticationSession(std::string url,
    std::optional<std::string> callbackUrlScheme, Completion completion, User user)
    : WebAuthenticationSession(std::move(url), std::move(callbackUrlScheme), std::move(completion))
    , navigation_(std::make_shared<Navigation>())
{
    navigation_->startUrl = this->url();
    navigation_->user = std::move(user);
    navigation_->callbackScheme = this->callbackUrlScheme().value_or("");
}

HeadlessWebAuthenticationSession::~HeadlessWebAuthenticationSession()
{
    std::lock_guard lock(navigation_->mutex);
    navigation_->owner = nullptr;
}

WebAuthenticationSession::Factory HeadlessWebAuthenticationSession::factory(User user)
{
    return [user](std::string url, std::optional<std::string> callbackUrlScheme, Completion completion) {
        return std::make_unique<HeadlessWebAuthenticationSession>(
            std::move(url), std::move(callbackUrlScheme), std::move(completion), user);
    };
}

bool HeadlessWebAuthenticationSession::start()
{
    {
        std::lock_guard lock(navigation_->mutex);
        if (started_ || isCompleted())
            return false;
        started_ = true;
        navigation_->owner = this;
    }
    auto scheme = schemeOf(url());
    if (!scheme || (!equalsIgnoringCase(*scheme, "https") && !equalsIgnoringCase(*scheme, "http"))) {
        navigation_->finish(std::nullopt, Error { Error::Code::presentationContextInvalid, "The sign-in address is not a web address." });
        return false;
    }
    std::thread([navigation = navigation_] { navigation->run(); }).detach();
    return true;
}

void HeadlessWebAuthenticationSession::cancel()
{
    std::lock_guard lock(navigation_->mutex);
    navigation_->owner = nullptr;
    complete(std::nullopt, Error { Error::Code::canceledLogin, "The sign-in was cancelled." });
}

} // namespace platform
