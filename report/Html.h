// HTML text: every text from a log goes through here before it reaches a page.
#pragma once

#include <string>
#include <string_view>

// UTF-8 text with &, <, >, " and ' written as entities.
std::string htmlEscape(std::string_view utf8);
