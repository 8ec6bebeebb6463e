// Ends the program when a picture cannot be loaded, naming the file and the places looked
// at: a workspace with invisible controls must never run on. Depends on the engine only.
#pragma once

#include <string>
#include <vector>

class MissingPictureGuard {
public:
    // Installs the guard on the director's texture cache.
    static void install();
    // The one-line message printed for a picture that cannot be loaded.
    static std::string describe(const std::string& path, const std::vector<std::string>& places,
                                const std::string& reason);
};
