#include "TOLVEN/signin/ViewController.h"

#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/GatewayConfiguration.h"
#include "platform/bluetooth/BluetoothRadio.h"
#include "platform/foundation/Console.h"
#include "platform/foundation/DispatchQueue.h"
#include "platform/foundation/URLComponents.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/oidc/Jwt.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Application.h"
#include "platform/ui/Color.h"
#include "platform/ui/interface/Storyboard.h"

namespace tolven {

using namespace platform::ui;
using platform::Token;

namespace {

platform::UserDefaults& defaults() { return platform::UserDefaults::standard(); }

void storeRefreshToken(const Token& token)
{
    if (token.refreshToken)
        defaults().setString("refreshToken", *token.refreshToken);
    else
        defaults().removeObject("refreshToken");
}

// The claim "email" when it is text, else empty. Throws JwtDecodingError.
std::string emailClaim(const Token& token)
{
    auto claims = platform::decodeJwtClaims(token.idToken.value_or(""));
    auto email = claims.find("email");
    return email != claims.end() && email->is_string() ? email->get<std::string>() : "";
}

std::shared_ptr<platform::Credential> storedCredentialById()
{
    return platform::CredentialStore::shared().findCredentialById(defaults().stringForKey("tokenid").value_or(""));
}

// The description of the error being handled: storing a credential throws
// OidcError, decoding an ID token JwtDecodingError. Call it in a catch block.
std::string handledErrorDescription()
{
    try {
        throw;
    } catch (const platform::OidcError& error) {
        return error.description;
    } catch (const std::exception& error) {
        return error.what();
    }
}

} // namespace

platform::BrowserSignIn* ViewController::auth()
{
    if (!auth_)
        auth_ = platform::sharedBrowserSignIn();
    return *auth_;
}

void ViewController::viewDidLoad()
{
    view()->setBackgroundColor(Color::white());
    if (defaults().boolForKey("init"))
        return;
    defaults().setBool("init", true);
    platform::console("\n===============================\n[ViewController] 블루투스 권한 요청\n===============================\n");
    centralManager = platform::BluetoothRadio::current().makeCentralManager();
    centralManager->setDelegate(this);
}

void ViewController::centralManagerDidUpdateState(platform::CentralManager& manager)
{
    switch (manager.state()) {
    case platform::ManagerState::poweredOn:
        // Held until then, as the delayed call holds its screen.
        platform::DispatchQueue::main().asyncAfter(std::chrono::seconds(2),
            [self = std::static_pointer_cast<ViewController>(shared_from_this())] { self->signIn(); });
        break;
    case platform::ManagerState::unauthorized:
        showPermissionAlert("블루투스 사용 권한을 허용해주세요");
        break;
    default:
        break;
    }
}

void ViewController::viewDidAppear(bool)
{
    if (shouldForceReauth) {
        shouldForceReauth = false;
        forceReauthenticate();
        return;
    }
    std::optional<Token> token;
    if (auto credential = platform::CredentialStore::shared().defaultCredential())
        token = credential->token();
    try {
        if (auto found = storedCredentialById())
            token = found->token();
    } catch (const platform::OidcError& error) {
        platform::console("Token 검증 실패: " + error.description);
    }
    if (!token || platform::isTokenExpired(*token)) {
        auto stored = defaults().stringForKey("refreshToken");
        if (stored && !stored->empty())
            signInWithRefreshToken(*stored);
        else
            signIn();
        return;
    }
    defaults().setString("tokenid", token->id);
    storeRefreshToken(*token);
    std::string email;
    try {
        email = emailClaim(*token);
    } catch (const std::exception& error) {
        platform::console(error.what());
        return;
    }
    AppSession::shared().email = email;
    AppSession::shared().accessToken = token->accessToken;
    acceptToken(*token);
    presentMain();
}

void ViewController::acceptToken(const Token& token)
{
    access_token = token.accessToken;
    idToken = token.idToken.value_or("");
    refreshToken = token.refreshToken.value_or("");
}

void ViewController::signIn()
{
    if (isSigningIn)
        return;
    isSigningIn = true;
    // The page shows in the screen's window, else the key window: the
    // browser of this platform needs neither.
    if (auto* signIn = auth()) {
        signIn->browserSignIn([weakSelf = weak_from_this()](const platform::OidcResult<Token>& result) {
            if (auto self = std::static_pointer_cast<ViewController>(weakSelf.lock()))
                self->handleSignInResult(result);
        });
    }
}

void ViewController::signInWithRefreshToken(const std::string& storedRefreshToken)
{
    if (isSigningIn)
        return;
    auto* signIn = auth();
    if (!signIn)
        return;
    isSigningIn = true;
    signIn->client().restoreTokenFromRefreshToken(storedRefreshToken, [weakSelf = weak_from_this()](const platform::OidcResult<Token>& result) {
        platform::DispatchQueue::main().async([weakSelf, result] {
            if (auto self = std::static_pointer_cast<ViewController>(weakSelf.lock()))
                self->handleRefreshSignInResult(result);
        });
    });
}

void ViewController::handleSignInResult(const platform::OidcResult<Token>& result)
{
    isSigningIn = false;
    if (!result) {
        platform::console("signIn error: " + result.error().description);
        showLoginError(result.error().description);
        return;
    }
    const auto& token = result.value();
    try {
        platform::CredentialStore::shared().storeCredential(token);
        storeRefreshToken(token);
        defaults().setString("tokenid", token.id);
        AppSession::shared().email = emailClaim(token);
    } catch (...) {
        auto description = handledErrorDescription();
        platform::console("signIn store error: " + description);
        showLoginError(description);
        return;
    }
    AppSession::shared().accessToken = token.accessToken;
    acceptToken(token);
    presentMain();
}

void ViewController::handleRefreshSignInResult(const platform::OidcResult<Token>& result)
{
    isSigningIn = false;
    if (!result) {
        platform::console("signInWith error: " + result.error().description);
        showLoginError(result.error().description);
        signIn();
        return;
    }
    const auto& token = result.value();
    try {
        platform::CredentialStore::shared().storeCredential(token);
        defaults().setString("tokenid", token.id);
        storeRefreshToken(token);
        acceptToken(token);
        AppSession::shared().accessToken = token.accessToken;
        AppSession::shared().email = emailClaim(token);
    } catch (...) {
        platform::console("signInWith store error: " + handledErrorDescription());
        signIn();
        return;
    }
    presentMain();
}

void ViewController::presentMain()
{
    auto board = storyboard();
    auto home = board ? board->instantiateViewController("MainVC") : nullptr;
    if (!home || home->className() != "MainController")
        return;
    home->setModalTransitionStyle(ModalTransitionStyle::partialCurl);
    home->setModalPresentationStyle(ModalPresentationStyle::fullScreen);
    present(home, false);
}

void ViewController::showLoginError(const std::string& description)
{
    if (description.find(notAssignedText) != std::string::npos)
        showAlert("로그인 불가", "이 계정은 현재 앱 사용 권한(Okta Assignment)이 없습니다.\n관리자에게 앱 할당(또는 Everyone 그룹 할당)을 요청해주세요.");
    else
        showAlert("로그인 실패", description);
}

void ViewController::showAlert(const std::string& title, const std::string& message)
{
    platform::DispatchQueue::main().async([weakSelf = weak_from_this(), title, message] {
        auto self = weakSelf.lock();
        if (!self)
            return;
        auto alert = std::make_shared<AlertController>(title, message, AlertControllerStyle::alert);
        alert->addAction(std::make_shared<AlertAction>("확인", AlertActionStyle::defaultStyle));
        self->present(alert, true);
    });
}

void ViewController::showPermissionAlert(const std::string& message)
{
    auto alert = std::make_shared<AlertController>("권한 설정 알림", message, AlertControllerStyle::alert);
    alert->addAction(std::make_shared<AlertAction>("확인", AlertActionStyle::defaultStyle, [](AlertAction&) {
        Application::shared().open(Application::openSettingsURLString);
    }));
    alert->addAction(std::make_shared<AlertAction>("취소", AlertActionStyle::defaultStyle));
    present(alert, false);
}

void ViewController::forceReauthenticate()
{
    std::shared_ptr<platform::Credential> credential;
    try {
        credential = storedCredentialById();
    } catch (const platform::OidcError&) {
        // A failed look-up counts as nothing found.
    }
    std::optional<std::string> hint;
    if (credential)
        hint = credential->token().idToken;
    openLogoutPage(hint, credential);
}

void ViewController::openLogoutPage(const std::optional<std::string>& hint, std::shared_ptr<platform::Credential> credential)
{
    auto base = GatewayConfiguration::identityAddress();
    auto page = platform::URLComponents::parse(base + (base.ends_with("/") ? "" : "/") + "oauth2/v1/logout");
    auto provider = platform::URLComponents::parse(base);
    const std::string host = provider && provider->host() ? *provider->host() : "";
    // The provider's host name is the redirect's scheme.
    std::string redirect = host + ":/logout";
    if (!platform::URLComponents::parse(redirect))
        redirect = host + ":/callback";
    if (!page) {
        clearSessionAndSignIn(credential);
        return;
    }
    std::vector<platform::URLQueryItem> items { { "post_logout_redirect_uri", redirect } };
    if (hint && !hint->empty())
        items.push_back({ "id_token_hint", *hint });
    page->setQueryItems(items);
    std::optional<std::string> callbackScheme;
    if (auto colon = redirect.find(':'); colon != std::string::npos)
        callbackScheme = redirect.substr(0, colon);

    logoutSession_ = platform::WebAuthenticationSession::make(page->string(), callbackScheme,
        [weakSelf = weak_from_this(), credential](std::optional<std::string>, std::optional<platform::WebAuthenticationSession::Error>) {
            // Whatever the page ends with, the user's closing it included.
            platform::DispatchQueue::main().async([weakSelf, credential] {
                if (auto self = std::static_pointer_cast<ViewController>(weakSelf.lock()))
                    self->clearSessionAndSignIn(credential);
            });
        });
    logoutSession_->setPrefersEphemeralWebBrowserSession(true);
    logoutSession_->start();
}

void ViewController::clearSessionAndSignIn(const std::shared_ptr<platform::Credential>& credential)
{
    if (credential) {
        try {
            platform::CredentialStore::shared().deleteCredential(*credential);
        } catch (const platform::OidcError&) {
            // The new sign-in replaces it anyway.
        }
    }
    defaults().removeObject("tokenid");
    defaults().removeObject("refreshToken");
    AppSession::shared().accessToken.clear();
    AppSession::shared().email.clear();
    signIn();
}

} // namespace tolven
