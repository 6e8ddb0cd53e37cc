#include "devstack/run/Walkthrough.h"

#include "TOLVEN/signin/APISession.h"
#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/BackendServices.h"
#include "TOLVEN/signin/CheckBeforeLogin.h"
#include "TOLVEN/signin/DeviceIDProvider.h"
#include "TOLVEN/signin/SignInWiring.h"
#include "TOLVEN/signin/TokenManager.h"
#include "TOLVEN/signin/URLList.h"
#include "TOLVEN/signin/records/APIResponse.h"
#include "lumitrex/Error.h"
#include "lumitrex/MobileCard.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/oidc/BrowserSignIn.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/oidc/Jwt.h"
#include "platform/web/WebAuthenticationSession.h"
#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include <algorithm>
#include <cstdio>

namespace devstack {

namespace {

using platform::DispatchQueue;
using namespace std::chrono_literals;

constexpr int stepCount = 5;

// The card wants its peripheral manager powered on, which it learns a moment
// after it is made.
constexpr platform::Duration cardPowerOnDelay = 300ms;

// The card value of the home screen: the employee number padded with "0" to 16 characters.
std::string cardKeyFor(const std::string& employeeNumber)
{
    std::string key = employeeNumber;
    if (key.size() < 16)
        key.append(16 - key.size(), '0');
    return key;
}

// "2.5" for two and a half seconds.
std::string secondsText(platform::Duration duration)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::chrono::duration<double>(duration).count());
    return text;
}

std::string stepLine(int number, const std::string& name, const std::string& text)
{
    return "[" + std::to_string(number) + "/" + std::to_string(stepCount) + "] " + name + ": " + text;
}

} // namespace

std::shared_ptr<Walkthrough> Walkthrough::make(WalkthroughSettings settings)
{
    return std::make_shared<Walkthrough>(std::move(settings));
}

Walkthrough::Walkthrough(WalkthroughSettings settings)
    : settings_(std::move(settings))
{
}

void Walkthrough::start(Finished finished)
{
    finished_ = std::move(finished);
    // As the application does at launch: each new gateway token becomes this
    // phone's device key at the backend.
    tolven::connectGatewayTokenReports();
    DispatchQueue::main().asyncAfter(settings_.timeLimit, guarded([](Walkthrough& self) {
        self.fail("no answer within " + secondsText(self.settings_.timeLimit) + " s");
    }));
    DispatchQueue::main().async(guarded([](Walkthrough& self) { self.signIn(); }));
}

void Walkthrough::signIn()
{
    currentStep_ = "sign-in";
    platform::WebAuthenticationSession::setFactory(
        platform::HeadlessWebAuthenticationSession::factory({ settings_.username, settings_.password }));
    auto* browser = platform::sharedBrowserSignIn();
    if (!browser)
        return fail("the bundle's Okta.plist holds no usable configuration");
    browser->browserSignIn(guarded([](Walkthrough& self, const platform::OidcResult<platform::Token>& result) {
        if (!result)
            return self.fail(result.error().description);
        const auto& token = result.value();
        try {
            self.credential_ = platform::CredentialStore::shared().storeCredential(token);
        } catch (const platform::OidcError& error) {
            return self.fail("the credential could not be stored: " + error.description);
        }
        // Stored as the sign-in screen stores them: the device check and the
        // token manager read the refresh token from here.
        auto& defaults = platform::UserDefaults::standard();
        defaults.setString("tokenid", token.id);
        if (token.refreshToken)
            defaults.setString("refreshToken", *token.refreshToken);
        else
            defaults.removeObject("refreshToken");

        std::string email;
        try {
            auto claims = platform::decodeJwtClaims(token.idToken.value_or(""));
            if (auto found = claims.find("email"); found != claims.end() && found->is_string())
                email = found->get<std::string>();
        } catch (const platform::JwtDecodingError& error) {
            return self.fail(std::string("the ID token cannot be read: ") + error.what());
        }
        if (email.empty())
            return self.fail("the ID token carries no e-mail");
        tolven::AppSession::shared().email = email;
        tolven::AppSession::shared().accessToken = token.accessToken;
        self.report(stepLine(1, "sign-in", "signed in as " + email + " (e-mail claim of the ID token)"));
        self.prepareDevice();
    }));
}

void Walkthrough::prepareDevice()
{
    currentStep_ = "device identifier";
    std::string identifier;
    bool wasStored = false;
    try {
        wasStored = tolven::DeviceIDProvider::loadDeviceID().has_value();
        identifier = tolven::DeviceIDProvider::getOrCreate(10);
    } catch (const tolven::DeviceIDProvider::DeviceIDError& error) {
        return fail("the keychain refused the device identifier (status " + std::to_string(error.status) + ")");
    }
    tolven::AppSession::shared().appToken = identifier;
    tolven::TokenManager::shared().setCredential(credential_);
    report(stepLine(2, "device", "identifier " + identifier + (wasStored ? " found in" : " created in") + " the keychain; credential handed to the token manager"));
    loadEmployee();
}

void Walkthrough::loadEmployee()
{
    currentStep_ = "employee record";
    using Response = tolven::APIResponse<tolven::UserItem>;
    tolven::URLList urls;
    tolven::backend::employeeRecord(urls, credential_->token().idToken)
        ->onDecodedResponse<Response>(
            DispatchQueue::main(),
            guarded([](Walkthrough& self, const platform::DataResponse<Response>& response) {
                if (!response.result) {
                    std::string status = response.response ? " (HTTP " + std::to_string(response.response->statusCode) + ")" : "";
                    return self.fail(response.result.error().description() + status);
                }
                const auto& content = response.result.value().content;
                if (content.empty())
                    return self.fail("the backend knows no employee for this sign-in");
                const auto& item = content.front();
                const auto& employee = item.employee;
                if (!employee.emp || employee.emp->empty())
                    return self.fail("the record carries no employee number");
                auto& session = tolven::AppSession::shared();
                session.userToken = item.userToken.value_or("");
                session.sabun = *employee.emp;
                session.name = employee.name.value_or("");
                session.nameEng = employee.nameEng.value_or("");
                session.department = employee.department.value_or("");
                session.rank = employee.rank.value_or("");
                session.phoneNum = employee.phoneNum.value_or("");
                self.cardKey_ = cardKeyFor(session.sabun);
                self.report(stepLine(3, "employee record", session.name + ", employee number " + session.sabun
                    + (session.department.empty() ? "" : ", " + session.department)));
                self.checkDevice(1);
            }),
            &Response::decode);
}

void Walkthrough::checkDevice(int attempt)
{
    currentStep_ = "device check";
    auto& session = tolven::AppSession::shared();
    tolven::CheckBeforeLogin::shared().checkGetLogin(session.userToken, tolven::apiSession(),
        guarded([attempt](Walkthrough& self, bool registered) {
            if (registered) {
                self.report(stepLine(4, "device check", "true (this phone is the registered one)"));
                return self.openDoor();
            }
            // On a fresh backend no phone is registered yet: the check
            // registers this one and answers false once.
            if (attempt == 1) {
                self.report(stepLine(4, "device check", "false (no phone or another phone was registered; checking again)"));
                return self.checkDevice(attempt + 1);
            }
            self.fail("another phone stays registered for this employee");
        }));
}

void Walkthrough::openDoor()
{
    currentStep_ = "access card";
    door_ = std::make_unique<SimulatedDoor>(settings_.siteCardKey, cardKey_);
    auto& card = lumitrex::MobileCard::sharedInstance();
    try {
        // No key argument: the card key is the bundle's "Mobile Card Key".
        card.setData(cardKey_, cardKey_);
    } catch (const lumitrex::Error& error) {
        return fail(std::string("setData refused the card data: ") + error.what());
    }
    card.setProximityLevel(lumitrex::MobileCard::Proximity::middle);
    DispatchQueue::main().asyncAfter(cardPowerOnDelay, guarded([](Walkthrough& self) { self.startCard(); }));
}

void Walkthrough::startCard()
{
    auto& card = lumitrex::MobileCard::sharedInstance();
    try {
        if (!card.isAdvertising() && !card.startAdvertising())
            return fail("the card cannot advertise in this Bluetooth state");
    } catch (const lumitrex::Error& error) {
        return fail(std::string("advertising refused: ") + error.what());
    }
    report(stepLine(5, "access card", "card " + cardKey_ + " advertising at a door of the site for " + secondsText(settings_.timeAtTheDoor) + " s"));
    DispatchQueue::main().asyncAfter(settings_.timeAtTheDoor, guarded([](Walkthrough& self) { self.leaveDoor(); }));
}

void Walkthrough::leaveDoor()
{
    lumitrex::MobileCard::sharedInstance().stopAdvertising();
    const auto& decisions = door_->decisions();
    auto granted = std::count_if(decisions.begin(), decisions.end(), [](const AccessDecision& decision) { return decision.granted; });
    auto refused = static_cast<long>(decisions.size()) - granted;
    report(stepLine(5, "access card", "door decisions: " + std::to_string(granted) + " granted, " + std::to_string(refused) + " refused"));
    for (const auto& decision : decisions) {
        if (!decision.granted)
            report("    refused: " + decision.reason);
    }
    door_.reset();
    if (granted == 0)
        return fail("the door never opened");
    if (refused > 0)
        return fail("the door refused a genuine card");
    finish(true);
}

void Walkthrough::report(const std::string& line) const
{
    platform::console(line);
}

void Walkthrough::fail(const std::string& why)
{
    report("FAILED at " + currentStep_ + ": " + why);
    finish(false);
}

void Walkthrough::finish(bool succeeded)
{
    if (ended_)
        return;
    ended_ = true;
    if (door_) {
        lumitrex::MobileCard::sharedInstance().stopAdvertising();
        door_.reset();
    }
    report(succeeded ? "walkthrough: every step succeeded" : "walkthrough: failed");
    if (finished_)
        finished_(succeeded);
}

} // namespace devstack
