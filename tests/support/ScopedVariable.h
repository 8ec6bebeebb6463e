// Gives an environment variable back the value it had, or none, at the end of a scope; set to
// a value meanwhile, taken away (nullptr), or left as it is for the test to change. POSIX only.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

class ScopedVariable {
public:
    explicit ScopedVariable(const char* name) : _name(name) {
        if (const char* old = std::getenv(name)) {
            _old = old;
        }
    }
    ScopedVariable(const char* name, const char* value) : ScopedVariable(name) {
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { _old ? ::setenv(_name, _old->c_str(), 1) : ::unsetenv(_name); }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* _name;
    std::optional<std::string> _old;
};
