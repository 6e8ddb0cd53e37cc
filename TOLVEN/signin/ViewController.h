#pragma once

#include "platform/bluetooth/CentralManager.h"
#include "platform/oidc/BrowserSignIn.h"
#include "platform/oidc/Credential.h"
#include "platform/ui/ViewController.h"
#include "platform/web/WebAuthenticationSession.h"

#include <memory>
#include <optional>
#include <string>

namespace tolven {

// The sign-in screen, the application's first. Each time it appears it makes
// sure a valid token of the identity provider is held (the stored credential,
// a token from the stored refresh token, or the browser sign-in), records it,
// and presents the home screen "MainVC". On the first launch it raises the
// Bluetooth permission prompt that the access card needs later.
class ViewController final : public platform::ui::ViewController, public platform::CentralManagerDelegate {
public:
    static constexpr const char* notAssignedText = "User is not assigned to the client application";

    std::string className() const override { return "ViewController"; }

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void centralManagerDidUpdateState(platform::CentralManager& manager) override;

    void signIn();
    void signInWithRefreshToken(const std::string& refreshToken);
    void handleSignInResult(const platform::OidcResult<platform::Token>& result);
    void handleRefreshSignInResult(const platform::OidcResult<platform::Token>& result);
    void presentMain();
    void showLoginError(const std::string& description);
    void showAlert(const std::string& title, const std::string& message);
    void showPermissionAlert(const std::string& message);
    void forceReauthenticate();
    void openLogoutPage(const std::optional<std::string>& idToken, std::shared_ptr<platform::Credential> credential);
    void clearSessionAndSignIn(const std::shared_ptr<platform::Credential>& credential);

    // The browser sign-in of the client's configuration; computed once, also when absent.
    platform::BrowserSignIn* auth();

    std::string access_token;
    std::string refreshToken;
    std::string idToken;
    // Set by the home screen before it presents this screen; read and cleared on appearing.
    bool shouldForceReauth = false;
    bool isSigningIn = false;
    std::unique_ptr<platform::CentralManager> centralManager;

private:
    // Records a valid token; false (after printing why) when its ID token cannot be decoded.
    void acceptToken(const platform::Token& token);

    std::optional<platform::BrowserSignIn*> auth_;
    // The logout page while it shows.
    std::unique_ptr<platform::WebAuthenticationSession> logoutSession_;
};

} // namespace tolven
