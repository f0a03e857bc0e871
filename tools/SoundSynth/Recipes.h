#pragma once
// The program's recordings: for each its name, its format, its length and
// the notes it is made of.

#include "Synth.h"
#include "Wave.h"

#include <string>
#include <vector>

namespace synth {

struct Recipe {
    std::string name; // lower case, as the program asks for it
    WaveFormat format;
    double seconds;
    void (*compose)(Track&);
};

[[nodiscard]] const std::vector<Recipe>& Recipes();
[[nodiscard]] const Recipe* FindRecipe(const std::string& name);

// The finished WAVE file of a recipe.
[[nodiscard]] std::vector<std::uint8_t> Render(const Recipe& recipe);

} // namespace synth
