#pragma once

#include <string>
#include <vector>

namespace devstack {

// A person who can sign in at the local identity provider.
struct IdentityUser {
    std::string username;
    std::string password;
    // Empty: the ID token carries no "email" claim.
    std::string email;
    std::string name;
    std::string subject;
    // Unassigned users pass the password check and are then refused for the
    // client application, as the real provider does.
    bool assignedToApplication = true;
};

// The seeded users, all with the password "Tolven!2024":
// "kim.minsu@brantwick.com" (employee), "lee.jiwoo@skyline-air.co.kr"
// (partner), "park.unassigned@brantwick.com" (not assigned to the
// application) and "no.email" (no e-mail address).
std::vector<IdentityUser> seededIdentityUsers();

} // namespace devstack
