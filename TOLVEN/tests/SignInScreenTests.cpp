#include "ShellFixture.h"

#include "TOLVEN/signin/AppSession.h"
#include "TOLVEN/signin/ViewController.h"
#include "devstack/identity/IdentityProvider.h"
#include "devstack/server/testing/RunningService.h"
#include "platform/foundation/UserDefaults.h"
#include "platform/oidc/CredentialStore.h"
#include "platform/oidc/ProviderClock.h"
#include "platform/testing/Seams.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/interface/Storyboard.h"
#include "platform/web/headless/HeadlessWebAuthenticationSession.h"

#include <fstream>

using namespace tolven;
using namespace tolven::testing;
using platform::ui::Application;
using UiViewController = platform::ui::ViewController;

namespace {

// The home screen as far as these tests need it: it gives the access card its
// data and starts it, as the real one does once the employee record is in.
class MainController final : public UiViewController {
public:
    std::string className() const override { return "MainController"; }
    void viewDidLoad() override
    {
        auto& card = lumitrex::MobileCard::sharedInstance();
        card.setData(kCardNumber, kCardNumber);
        if (!card.isAdvertising())
            card.startAdvertising();
    }
};

constexpr const char* kEmployee = "kim.minsu@brantwick.com";

// The whole application against the devstack's identity provider, with a
// headless browser that signs the chosen user in.
class SignInTest : public ShellTest {
protected:
    SignInTest()
    {
        platform::resetProviderClockForTesting();
        platform::ui::ClassRegistry::shared().registerViewController("MainController", [] { return std::make_shared<MainController>(); });
        signInAs(kEmployee);
        platform::PlistValue::Dictionary okta { { "issuer", provider.url() }, { "clientId", devstack::IdentityProvider::defaultClientId },
            { "scopes", "openid profile email offline_access" }, { "redirectUri", devstack::IdentityProvider::defaultRedirectUri },
            { "logoutRedirectUri", "com.brantwick.tolven:/logout" } };
        std::ofstream(env.bundleFolder() / "Okta.plist") << platform::serializePropertyList(okta);
        env.setInfoValue("TolvenIdentityHost", provider.url().substr(std::string("https://").size()));
        AppSession::shared() = AppSession();
    }
    ~SignInTest() override
    {
        platform::WebAuthenticationSession::setFactory({});
        platform::resetProviderClockForTesting();
    }

    void signInAs(const std::string& username, const std::string& password = "Tolven!2024")
    {
        platform::WebAuthenticationSession::setFactory(platform::HeadlessWebAuthenticationSession::factory({ username, password }));
    }

    std::shared_ptr<tolven::ViewController> signInScreen()
    {
        auto window = Application::shared().windows();
        return window.empty() ? nullptr : std::dynamic_pointer_cast<tolven::ViewController>(window.front()->rootViewController());
    }

    std::shared_ptr<UiViewController> presented() { return signInScreen() ? signInScreen()->presentedViewController() : nullptr; }
    bool homeShown() { return presented() && presented()->className() == "MainController"; }
    std::shared_ptr<platform::ui::AlertController> alert() { return std::dynamic_pointer_cast<platform::ui::AlertController>(presented()); }

    // Waits for the provider's answers, which come from its own threads, and
    // moves the virtual clock on in between, since presenting takes time.
    bool runUntil(const std::function<bool()>& done)
    {
        for (int step = 0; step < 400; ++step) {
            if (env.runUntil(done, 50ms))
                return true;
            env.fastForwardBy(50ms);
        }
        return false;
    }

    // Runs until the sign-in screen has settled on the home screen or an alert.
    bool settle()
    {
        return runUntil([this] {
            return signInScreen() && !signInScreen()->isSigningIn && presented() && !presented()->isBeingPresented();
        });
    }

    std::size_t requests(const char* path) { return provider.requestLog().forPath(path).size(); }

    devstack::testing::RunningService<devstack::IdentityProvider> provider;
};

} // namespace

TEST_F(SignInTest, FirstLaunchSignsInInTheBrowserAndTheCardRunsWithTheActiveScene)
{
    launch();
    ASSERT_TRUE(signInScreen());
    EXPECT_TRUE(platform::UserDefaults::standard().boolForKey("init"));
    EXPECT_TRUE(signInScreen()->centralManager);
    EXPECT_EQ(count("\n===============================\n[ViewController] 블루투스 권한 요청\n===============================\n"), 1u);

    ASSERT_TRUE(settle());
    ASSERT_TRUE(homeShown());
    EXPECT_EQ(presented()->modalPresentationStyle(), platform::ui::ModalPresentationStyle::fullScreen);
    EXPECT_EQ(presented()->modalTransitionStyle(), platform::ui::ModalTransitionStyle::partialCurl);
    EXPECT_EQ(AppSession::shared().email, kEmployee);
    EXPECT_FALSE(AppSession::shared().accessToken.empty());
    EXPECT_TRUE(platform::UserDefaults::standard().stringForKey("tokenid"));
    EXPECT_TRUE(platform::UserDefaults::standard().stringForKey("refreshToken"));
    ASSERT_FALSE(signInScreen()->idToken.empty());
    ASSERT_FALSE(signInScreen()->refreshToken.empty());
    for (const auto& token : { signInScreen()->access_token, signInScreen()->refreshToken, signInScreen()->idToken }) {
        for (const auto& line : console)
            EXPECT_EQ(line.find(token), std::string::npos) << "a token on the console";
    }

    env.fastForwardBy(300ms);
    EXPECT_TRUE(phoneAdvertises());
    Application::shared().resignActive();
    env.fastForwardBy(300ms);
    EXPECT_FALSE(phoneAdvertises());
    Application::shared().becomeActive();
    env.fastForwardBy(300ms);
    EXPECT_TRUE(phoneAdvertises());
}

TEST_F(SignInTest, LaterLaunchesTakeTheStoredTokenOrTheRefreshToken)
{
    launch();
    ASSERT_TRUE(settle() && homeShown());
    auto tokenRequests = requests("/oauth2/v1/token");
    auto refresh = *platform::UserDefaults::standard().stringForKey("refreshToken");

    // A valid stored token: the home screen at once, without a request.
    platform::ui::resetApplicationForTesting();
    launch();
    ASSERT_TRUE(settle() && homeShown());
    EXPECT_EQ(requests("/oauth2/v1/token"), tokenRequests);
    EXPECT_FALSE(signInScreen()->centralManager);

    // No stored credential: the refresh token brings a new one.
    auto& store = platform::CredentialStore::shared();
    store.deleteCredential(*store.findCredentialById(*platform::UserDefaults::standard().stringForKey("tokenid")));
    platform::UserDefaults::standard().setString("refreshToken", refresh);
    platform::ui::resetApplicationForTesting();
    launch();
    ASSERT_TRUE(settle() && homeShown());
    EXPECT_EQ(requests("/oauth2/v1/token"), tokenRequests + 1);
    EXPECT_EQ(provider.requestLog().forPath("/oauth2/v1/token").back().param("grant_type"), "refresh_token");
    EXPECT_EQ(requests("/oauth2/v1/authorize"), 1u);
}

TEST_F(SignInTest, AFailedRefreshTokenShowsTheErrorAndFallsBackToTheBrowser)
{
    platform::UserDefaults::standard().setBool("init", true);
    platform::UserDefaults::standard().setString("refreshToken", "not-a-refresh-token");
    launch();
    ASSERT_TRUE(settle());
    EXPECT_TRUE(std::any_of(console.begin(), console.end(), [](const std::string& l) { return l.starts_with("signInWith error: "); }));
    // The alert came first and holds the screen; the browser sign-in ran behind it.
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "로그인 실패");
    EXPECT_TRUE(runUntil([&] { return requests("/oauth2/v1/authorize") == 1 && !signInScreen()->isSigningIn; }));
    EXPECT_TRUE(platform::UserDefaults::standard().stringForKey("tokenid"));
}

TEST_F(SignInTest, AUserNotAssignedToTheApplicationIsToldSo)
{
    platform::UserDefaults::standard().setBool("init", true);
    signInAs("park.unassigned@brantwick.com");
    launch();
    ASSERT_TRUE(settle());
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "로그인 불가");
    EXPECT_EQ(alert()->message(), "이 계정은 현재 앱 사용 권한(Okta Assignment)이 없습니다.\n관리자에게 앱 할당(또는 Everyone 그룹 할당)을 요청해주세요.");
    EXPECT_TRUE(std::any_of(console.begin(), console.end(), [](const std::string& l) { return l.starts_with("signIn error: "); }));
}

TEST_F(SignInTest, ForcedReauthenticationLogsOutForgetsTheCredentialAndSignsInAgain)
{
    launch();
    ASSERT_TRUE(settle() && homeShown());
    auto oldTokenId = *platform::UserDefaults::standard().stringForKey("tokenid");

    auto again = std::static_pointer_cast<tolven::ViewController>(signInScreen()->storyboard()->instantiateViewController("ViewVC"));
    again->shouldForceReauth = true;
    presented()->present(again, false);
    ASSERT_TRUE(runUntil([&] {
        return again->presentedViewController() && !again->isSigningIn && !again->presentedViewController()->isBeingPresented();
    }));
    EXPECT_FALSE(again->shouldForceReauth);
    ASSERT_EQ(requests("/oauth2/v1/logout"), 1u);
    auto logout = provider.requestLog().forPath("/oauth2/v1/logout")[0];
    EXPECT_TRUE(logout.param("id_token_hint"));
    EXPECT_EQ(logout.param("post_logout_redirect_uri"), "localhost:/logout");
    EXPECT_FALSE(platform::CredentialStore::shared().findCredentialById(oldTokenId));
    EXPECT_NE(platform::UserDefaults::standard().stringForKey("tokenid"), oldTokenId);
    EXPECT_EQ(again->presentedViewController()->className(), "MainController");
}

TEST_F(SignInTest, ForcedReauthenticationWithoutAStoredCredentialLeavesTheHintOut)
{
    platform::UserDefaults::standard().setBool("init", true);
    platform::UserDefaults::standard().setString("tokenid", "no-such-token");
    launch();
    signInScreen()->shouldForceReauth = true;
    signInScreen()->viewDidAppear(false);
    ASSERT_TRUE(runUntil([&] { return requests("/oauth2/v1/logout") == 1 && homeShown() && !presented()->isBeingPresented(); }));
    EXPECT_FALSE(provider.requestLog().forPath("/oauth2/v1/logout")[0].param("id_token_hint"));
    EXPECT_NE(platform::UserDefaults::standard().stringForKey("tokenid"), "no-such-token");
}

TEST_F(SignInTest, AValidStoredTokenWithoutAnIdTokenLeavesTheScreenBlank)
{
    platform::UserDefaults::standard().setBool("init", true);
    platform::Token token;
    token.id = "stored";
    token.accessToken = "access-token-without-id-token";
    token.issuedAt = platform::ProviderClock::now();
    token.expiresIn = std::chrono::hours(1);
    platform::CredentialStore::shared().storeCredential(token);
    platform::WebAuthenticationSession::setFactory({});
    launch();
    env.fastForwardBy(1s);
    EXPECT_FALSE(presented());
    EXPECT_EQ(requests("/oauth2/v1/token"), 0u);
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("tokenid"), "stored");
    EXPECT_EQ(platform::UserDefaults::standard().stringForKey("refreshToken"), std::nullopt);
    EXPECT_TRUE(AppSession::shared().accessToken.empty());
}

TEST_F(SignInTest, BluetoothNotAuthorisedAsksForThePermission)
{
    simulatedPhone().setBluetoothState(platform::ManagerState::unauthorized);
    platform::WebAuthenticationSession::setFactory({});
    launch();
    runUntil([&] { return alert() && !alert()->isBeingPresented(); });
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->title(), "권한 설정 알림");
    EXPECT_EQ(alert()->message(), "블루투스 사용 권한을 허용해주세요");
    alert()->performAction(*alert()->actions()[0]);
    env.fastForwardBy(1s);
    EXPECT_EQ(Application::shared().openedURLs(), std::vector<std::string> { Application::openSettingsURLString });
}
