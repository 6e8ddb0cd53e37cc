#include "TOLVEN/signin/AppSession.h"

namespace tolven {

AppSession& AppSession::shared()
{
    static AppSession* session = new AppSession();
    return *session;
}

} // namespace tolven
