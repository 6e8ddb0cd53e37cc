#include "devstack/identity/IdentityUser.h"

namespace devstack {

std::vector<IdentityUser> seededIdentityUsers()
{
    return {
        { "kim.minsu@brantwick.com", "Tolven!2024", "kim.minsu@brantwick.com", "김민수", "00u1kimminsu0000001", true },
        { "lee.jiwoo@skyline-air.co.kr", "Tolven!2024", "lee.jiwoo@skyline-air.co.kr", "이지우", "00u1leejiwoo0000002", true },
        { "park.unassigned@brantwick.com", "Tolven!2024", "park.unassigned@brantwick.com", "박서준", "00u1parkseojun00003", false },
        { "no.email", "Tolven!2024", "", "No Email", "00u1noemail00000004", true },
    };
}

} // namespace devstack
