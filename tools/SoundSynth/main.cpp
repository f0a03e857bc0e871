// Writes the program's recordings as WAVE files at build time.
//
//   soundsynth <folder> <name>...
//
// writes <folder>/<name>.wav for every name given.
#include "Recipes.h"

#include <filesystem>
#include <iostream>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::cerr << "usage: soundsynth <folder> <name>...\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::cerr << "soundsynth: cannot create " << folder << ": " << ec.message() << '\n';
        return 1;
    }
    for (int i = 2; i < argc; ++i) {
        const synth::Recipe* recipe = synth::FindRecipe(argv[i]);
        if (!recipe) {
            std::cerr << "soundsynth: no recipe for \"" << argv[i] << "\"\n";
            return 1;
        }
        std::string error;
        if (!synth::WriteFile((folder / (recipe->name + ".wav")).string(), synth::Render(*recipe),
                              error)) {
            std::cerr << "soundsynth: " << error << '\n';
            return 1;
        }
    }
    return 0;
}
