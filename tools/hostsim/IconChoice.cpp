#include "IconChoice.h"

#include <cstdlib>

namespace hostsim {

namespace {

bool isFile(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

// name-theme.extension before name.extension (name may carry @2x).
std::vector<std::string> themedNames(const std::string& name, const std::string& extension, const std::string& theme)
{
    return {name + "-" + theme + extension, name + extension};
}

} // namespace

std::optional<IconChoice> chooseToolbarIcon(const std::filesystem::path& folder, int scale, const std::string& theme)
{
    for (const std::string& name : themedNames("16x16", ".svg", theme)) {
        if (isFile(folder / name)) {
            return IconChoice{name, "image/svg+xml", 0, false};
        }
    }
    const std::string forScale = scale == 2 ? "16x16@2x" : "16x16";
    for (const std::string& name : themedNames(forScale, ".png", theme)) {
        if (isFile(folder / name)) {
            return IconChoice{name, "image/png", 16 * scale, false};
        }
    }
    // The nearest other picture, scaled; of pictures as near, the first here (a drawing first).
    struct Other {
        const char* name;
        const char* mediaType;
        int size;
    };
    const Other others[] = {{"32x32.svg", "image/svg+xml", 32}, {"16x16.png", "image/png", 16},
                            {"16x16@2x.png", "image/png", 32},  {"32x32.png", "image/png", 32},
                            {"32x32@2x.png", "image/png", 64},  {"64x64.png", "image/png", 64}};
    const int wanted = 16 * scale;
    std::optional<IconChoice> nearest;
    for (const Other& other : others) {
        if (!isFile(folder / other.name)) {
            continue;
        }
        if (!nearest || std::abs(other.size - wanted) < std::abs(nearest->drawnFor - wanted)) {
            nearest = IconChoice{other.name, other.mediaType, other.size, true};
        }
    }
    return nearest;
}

} // namespace hostsim
