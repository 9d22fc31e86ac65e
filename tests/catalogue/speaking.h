// A test's language: spoken from construction to destruction, English again after, whatever
// the test's checks did in between.
#pragma once

#include <string>
#include <vector>

#include "catalogue.h"

namespace kov::testing {

class Speaking {
public:
    explicit Speaking(const std::string& language) { UseLanguage(std::vector<std::string>{language}); }
    ~Speaking() { UseLanguage({}); }
    Speaking(const Speaking&) = delete;
    Speaking& operator=(const Speaking&) = delete;
};

}  // namespace kov::testing
