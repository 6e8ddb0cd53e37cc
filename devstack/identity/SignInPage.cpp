#include "devstack/identity/SignInPage.h"

namespace devstack {

namespace {

std::string escaped(const std::string& text)
{
    std::string html;
    for (char c : text) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        case '\'': html += "&#39;"; break;
        default: html += c;
        }
    }
    return html;
}

} // namespace

std::string signInPage(const std::string& transaction, const std::string& message)
{
    std::string html = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Brantwick sign-in</title></head><body>\n"
                       "<h1>Sign in to Brantwick</h1>\n";
    if (!message.empty())
        html += "<p class=\"error\">" + escaped(message) + "</p>\n";
    html += "<form method=\"post\" action=\"/oauth2/v1/authorize/signin\">\n"
            "<input type=\"hidden\" name=\"transaction\" value=\"" + escaped(transaction) + "\">\n"
            "<label>Username <input type=\"text\" name=\"username\" autocomplete=\"username\"></label>\n"
            "<label>Password <input type=\"password\" name=\"password\" autocomplete=\"current-password\"></label>\n"
            "<input type=\"submit\" value=\"Sign in\">\n"
            "</form>\n</body></html>\n";
    return html;
}

std::string messagePage(const std::string& title, const std::string& message)
{
    return "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" + escaped(title) + "</title></head><body>\n<h1>"
        + escaped(title) + "</h1>\n<p>" + escaped(message) + "</p>\n</body></html>\n";
}

} // namespace devstack
